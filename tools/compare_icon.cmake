# cmake -DGENERATOR=... -DOUT_FILE=... -DEXPECTED_FILE=... -P compare_icon.cmake
# Runs the icon generator into OUT_FILE and compares it byte for byte with the
# committed icon EXPECTED_FILE.
foreach(var GENERATOR OUT_FILE EXPECTED_FILE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

get_filename_component(out_dir "${OUT_FILE}" DIRECTORY)
file(REMOVE_RECURSE "${out_dir}")
file(MAKE_DIRECTORY "${out_dir}")
execute_process(COMMAND "${GENERATOR}" "${OUT_FILE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make-icon failed: ${rc}")
endif()
if(NOT EXISTS "${OUT_FILE}")
  message(FATAL_ERROR "make-icon did not write ${OUT_FILE}")
endif()
if(NOT EXISTS "${EXPECTED_FILE}")
  message(FATAL_ERROR "${EXPECTED_FILE} is missing. Rebuild the icon target "
    "and commit the icon.")
endif()

file(SHA256 "${OUT_FILE}" made_hash)
file(SHA256 "${EXPECTED_FILE}" kept_hash)
if(NOT made_hash STREQUAL kept_hash)
  message(FATAL_ERROR "resources/vela.ico differs from make-icon output. "
    "Rebuild the icon target and commit the icon.")
endif()
message(STATUS "The icon matches")
