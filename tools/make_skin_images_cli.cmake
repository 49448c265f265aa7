# The command line of make-skin-images, on the built program: what it refuses,
# with which message, and that a refused run writes no image.
#   cmake -DGENERATOR=... -DWORK_DIR=... -P make_skin_images_cli.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

set(layers "left:  ln log₂ lg eˣ 2ˣ 10ˣ √x ³√x ˣ√y x² x³ xʸ
up:    C CE 1/x ± F-E x! π e abs rd gr deg
right: + M+ MC − M− MS / M/ MR * M* %
down:  sin asin sinh cos acos cosh tg atg tgh ctg actg ctgh
")

# Runs the generator on a key map text `keys` (none when empty) with
# `args`, and expects exit `status` with `pattern` on standard error.
function(expect_refusal status pattern keys)
  set(out "${WORK_DIR}/out")
  file(REMOVE_RECURSE "${out}")
  file(MAKE_DIRECTORY "${out}")
  set(keys_args)
  if(NOT keys STREQUAL "")
    file(WRITE "${WORK_DIR}/keys.txt" "${keys}")
    set(keys_args --keys "${WORK_DIR}/keys.txt")
  endif()
  execute_process(COMMAND "${GENERATOR}" ${ARGN} ${keys_args} "${out}" RESULT_VARIABLE got ERROR_VARIABLE err)
  file(GLOB written "${out}/*")
  if(NOT got EQUAL status OR NOT err MATCHES "${pattern}" OR written)
    message(FATAL_ERROR "make-skin-images ${ARGN}: status ${got}, stderr [${err}], wrote [${written}]; "
                        "expected status ${status} and [${pattern}]")
  endif()
endfunction()

string(REPLACE "left:  ln" "left:  files+const" long_left "${layers}")
string(REPLACE "x³ xʸ" "x³ foo" unknown "${layers}")
string(REPEAT "# padding\n" 7000 huge)

expect_refusal(1 "left 1: the label does not fit inside the key" "${long_left}" --style contrast)
expect_refusal(1 "keys.txt:1: .*foo" "${unknown}" --style contrast)
expect_refusal(1 "keys.txt: larger than 64 KiB" "${huge}${layers}")
expect_refusal(1 "missing.txt: cannot open" "" --keys "${WORK_DIR}/missing.txt")
expect_refusal(2 "unknown style: shiny" "" --style shiny)
expect_refusal(2 "usage" "" "${WORK_DIR}/second")

# The key map's back colour is the panel: the top-left pixel of the base
# image (the last row of a bottom-up file) names it in the colour table.
set(out "${WORK_DIR}/out")
file(REMOVE_RECURSE "${out}")
file(MAKE_DIRECTORY "${out}")
file(WRITE "${WORK_DIR}/keys.txt" "${layers}back: 123456\n")
execute_process(COMMAND "${GENERATOR}" --style contrast --keys "${WORK_DIR}/keys.txt" "${out}" RESULT_VARIABLE got)
math(EXPR top_row "14 + 40 + 256 * 4 + 152 * 176")
file(READ "${out}/base.bmp" index OFFSET ${top_row} LIMIT 1 HEX)
math(EXPR entry "54 + 4 * 0x${index}")
file(READ "${out}/base.bmp" colour OFFSET ${entry} LIMIT 3 HEX)
if(NOT got EQUAL 0 OR NOT colour STREQUAL "563412")
  message(FATAL_ERROR "back: 123456 gave status ${got} and a panel of blue-green-red ${colour}")
endif()
