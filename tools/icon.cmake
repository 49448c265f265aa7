# The program's icon is drawn by make-icon and committed as resources/vela.ico.
# The test redraws it and insists on the same bytes, so the program and the
# committed icon cannot drift apart.
#
# After changing the drawing, regenerate with:
#   cmake --build <build> --target icon
add_executable(make-icon ${CMAKE_CURRENT_LIST_DIR}/make_icon.cpp)

add_custom_target(icon
  COMMAND make-icon ${PROJECT_SOURCE_DIR}/resources/vela.ico
  COMMENT "Redrawing resources/vela.ico"
  VERBATIM)

add_test(NAME icon_up_to_date
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:make-icon>
    -DOUT_FILE=${CMAKE_CURRENT_BINARY_DIR}/icon_check/vela.ico
    -DEXPECTED_FILE=${PROJECT_SOURCE_DIR}/resources/vela.ico
    -P ${CMAKE_CURRENT_LIST_DIR}/compare_icon.cmake)
