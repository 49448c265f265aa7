# The command line of vela-skin, on the built program: exit statuses, the
# files each command writes, and that refused runs write nothing.
#   cmake -DTOOL=... -DSOURCE=<source tree> -DWORK_DIR=... -P vela_skin_cli.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(images)
foreach(layer base left up right down)
  list(APPEND images "${SOURCE}/resources/skin/${layer}.bmp")
endforeach()

# Runs vela-skin with ARGN in WORK_DIR; expects `status`, `out_pattern` on
# standard output and `err_pattern` on standard error.
function(expect status out_pattern err_pattern)
  execute_process(COMMAND "${TOOL}" ${ARGN} WORKING_DIRECTORY "${WORK_DIR}"
                  RESULT_VARIABLE got OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT got EQUAL status OR NOT out MATCHES "${out_pattern}" OR NOT err MATCHES "${err_pattern}")
    message(FATAL_ERROR "vela-skin ${ARGN}: status ${got}, stdout [${out}], stderr [${err}]; "
                        "expected ${status}, [${out_pattern}], [${err_pattern}]")
  endif()
endfunction()

function(expect_missing file)
  if(EXISTS "${WORK_DIR}/${file}")
    message(FATAL_ERROR "vela-skin wrote ${file} in a refused run")
  endif()
endfunction()

expect(3 "^$" "a command is needed")
expect(0 "exit status: 0 done.*3 bad command line" "^$" --help)
expect(3 "^$" "unknown command frob" frob)
expect(3 "^$" "-o NAME.skin is needed" pack ${images})
expect(3 "^$" "5 images are needed.*not 4" pack -o a.skin base.bmp - - -)
expect(3 "^$" "--back zz: a colour RRGGBB" pack -o a.skin --back zz ${images})
expect(3 "^$" "unknown option --frob" pack -o a.skin --frob ${images})
expect(3 "^$" "--keys needs a value" pack -o a.skin ${images} --keys)
expect(3 "^$" "check needs NAME.skin" check)

# The built-in images make a skin that loads as it is; unpacked and packed
# again it is the same file.
expect(0 "^$" "^$" pack -o built.skin ${images})
expect(0 "^built.skin: loads\n$" "^$" check built.skin)
expect(0 "^$" "^$" unpack built.skin parts)
expect(0 "^$" "^$" pack -o parts/again.skin --keys parts/keys.txt
       parts/base.bmp parts/left.bmp parts/up.bmp parts/right.bmp parts/down.bmp)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/built.skin" "${WORK_DIR}/parts/again.skin"
                RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "vela-skin: unpack and pack again gave another file")
endif()
expect(0 "^$" "^$" preview built.skin preview.png)
file(READ "${WORK_DIR}/preview.png" signature LIMIT 8 HEX)
if(NOT signature STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "vela-skin preview wrote no PNG file: ${signature}")
endif()

# A PNG is converted, by its name.
expect(0 "^$" "warning: wide.skin: base: width 880" pack -o wide.skin preview.png - - - -)
configure_file("${WORK_DIR}/preview.png" "${WORK_DIR}/png.bmp" COPYONLY)
expect(2 "^$" "png.bmp: a PNG file: it is converted when its name ends in .png" pack -o refused.skin png.bmp - - - -)

# Layers without image load, with warnings; colours from the options.
expect(0 "^$" "warning: gaps.skin: left: no image" pack -o gaps.skin --back 102030 --text=FFFFFF
       ${SOURCE}/resources/skin/base.bmp - - - -)
expect(1 "^gaps.skin: loads\ngaps.skin: left: no image" "^$" check gaps.skin)

# Refusals name the file and write nothing.
file(WRITE "${WORK_DIR}/keys.txt" "left: ln\n")
expect(2 "^$" "keys.txt:1: 1 action where 12 are needed" pack -o refused.skin --keys keys.txt ${images})
file(WRITE "${WORK_DIR}/broken.bmp" "BM not really")
expect(2 "^$" "broken.bmp: 13 bytes: too short.*would not load" pack -o refused.skin broken.bmp - - - -)
expect(2 "^$" "missing.png: cannot open" pack -o refused.skin missing.png - - - -)
expect_missing(refused.skin)
expect(2 "^none.skin: falls back to the built-in skin: \"Скин не найден\"\n$" "none.skin: cannot open" check none.skin)
file(WRITE "${WORK_DIR}/short.skin" "too short")
expect(2 "^short.skin: falls back to the built-in skin: \"Загрузка скина\"\nshort.skin: why: 9 bytes" "^$" check short.skin)
expect(2 "^$" "short.skin: 9 bytes: shorter.*nothing written" unpack short.skin refused)
expect(2 "^$" "short.skin: 9 bytes: shorter.*built-in skin" preview short.skin refused.png)
expect_missing(refused)
expect_missing(refused.png)

# A name the skin dialog cannot list is named in check.
configure_file("${WORK_DIR}/built.skin" "${WORK_DIR}/Fifteen-letters.skin" COPYONLY)
expect(1 "^Fifteen-letters.skin: loads\nFifteen-letters.skin: the name has 15 characters: the skin dialog lists only names of 14" "^$"
       check Fifteen-letters.skin)

# Unpacking over another skin's parts is refused; --force replaces only them.
expect(2 "^$" "parts: holds the parts of a skin already \\(base.bmp\\).*--force" unpack gaps.skin parts)
file(WRITE "${WORK_DIR}/parts/notes.txt" "mine")
expect(0 "^$" "^$" unpack --force gaps.skin parts)
expect_missing(parts/left.bmp)
foreach(kept parts/base.bmp parts/keys.txt parts/notes.txt)
  if(NOT EXISTS "${WORK_DIR}/${kept}")
    message(FATAL_ERROR "vela-skin unpack --force lost ${kept}")
  endif()
endforeach()

# Sharper images: packed with --scale, the file loads; the preview draws at a
# zoom. (That they unpack and pack again the same is the library's test.)
set(contrast)
set(contrast_sharp)
foreach(layer base left up right down)
  list(APPEND contrast "${SOURCE}/skins/contrast/${layer}.bmp")
  list(APPEND contrast_sharp "${SOURCE}/skins/contrast/${layer}@2x.bmp")
endforeach()
expect(0 "^$" "^$" pack -o sharp.skin ${contrast} --scale 2 ${contrast_sharp})
expect(0 "^sharp.skin: loads\n$" "^$" check sharp.skin)
expect(3 "^$" "--scale 2 needs 5 images.*not 4" pack -o refused.skin ${contrast} --scale 2 base.bmp - - -)
expect(2 "^$" "base.bmp: 176 x 153 pixels, where 2 times the base image is 352 x 306"
       pack -o refused.skin ${contrast} --scale 2 ${contrast})
expect(0 "^$" "^$" preview --zoom 2 sharp.skin sharp.png)
expect(3 "^$" "--zoom needs 1, 2, 3 or 4" preview --zoom 5 sharp.skin sharp.png)
expect_missing(refused.skin)
