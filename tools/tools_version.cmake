# Each tool's --version: its name, a space, the project's version, exit 0.
foreach(tool ${TOOLS})
  get_filename_component(name ${tool} NAME_WE)
  execute_process(COMMAND ${tool} --version RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n")
    message(FATAL_ERROR "${name} --version: status ${status}, output [${out}], expected [${name} ${VERSION}]; stderr: ${err}")
  endif()
endforeach()
