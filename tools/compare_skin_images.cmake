# cmake -DGENERATOR=... [-DGENERATOR_ARGS=...] [-DSUFFIX=@2x] -DOUT_DIR=... -DEXPECTED_DIR=... -P compare_skin_images.cmake
# Runs the image generator into OUT_DIR and compares each image byte for byte
# with the committed one in EXPECTED_DIR. GENERATOR_ARGS (a list) go before
# OUT_DIR: the style and key map of a skin other than the built-in one, and
# its --scale, whose images end in SUFFIX.
foreach(var GENERATOR OUT_DIR EXPECTED_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
execute_process(COMMAND "${GENERATOR}" ${GENERATOR_ARGS} "${OUT_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make-skin-images failed: ${rc}")
endif()

set(stale "")
foreach(name base left up right down)
  set(name "${name}${SUFFIX}")
  set(made "${OUT_DIR}/${name}.bmp")
  set(kept "${EXPECTED_DIR}/${name}.bmp")
  if(NOT EXISTS "${made}")
    message(FATAL_ERROR "make-skin-images did not write ${name}.bmp")
  endif()
  if(NOT EXISTS "${kept}")
    list(APPEND stale "${name}.bmp (missing)")
    continue()
  endif()
  file(SHA256 "${made}" made_hash)
  file(SHA256 "${kept}" kept_hash)
  if(NOT made_hash STREQUAL kept_hash)
    list(APPEND stale "${name}.bmp")
  endif()
endforeach()

if(stale)
  list(JOIN stale ", " stale_text)
  file(RELATIVE_PATH shown "${CMAKE_CURRENT_LIST_DIR}/.." "${EXPECTED_DIR}")
  message(FATAL_ERROR "${shown} differs from make-skin-images output: "
    "${stale_text}. Rebuild the skin-images target and commit the images.")
endif()
message(STATUS "All five skin images match")
