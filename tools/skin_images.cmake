# The built-in skin's keypad images are drawn by make-skin-images and committed
# under resources/skin. The test redraws them and insists on the same bytes,
# so the program and the committed images cannot drift apart.
#
# After changing the drawing, regenerate with:
#   cmake --build <build> --target skin-images
add_executable(make-skin-images ${CMAKE_CURRENT_LIST_DIR}/make_skin_images.cpp)
# The labels are the calculator's own names of the built-in key map's actions.
target_link_libraries(make-skin-images PRIVATE vela_keysession)

add_custom_target(skin-images
  COMMAND make-skin-images ${PROJECT_SOURCE_DIR}/resources/skin
  COMMENT "Redrawing resources/skin/*.bmp"
  VERBATIM)

add_test(NAME skin_images_up_to_date
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:make-skin-images>
    -DOUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/skin_images_check
    -DEXPECTED_DIR=${PROJECT_SOURCE_DIR}/resources/skin
    -P ${CMAKE_CURRENT_LIST_DIR}/compare_skin_images.cmake)
