# The keypad images of the skins we ship are drawn by make-skin-images and
# committed: the built-in skin's under resources/skin, the others' under
# skins/<name>/ beside their key map text. The tests redraw them and insist
# on the same bytes, so the generator and the committed images cannot drift
# apart.
#
# After changing the drawing or a key map, regenerate with:
#   cmake --build <build> --target skin-images
add_executable(make-skin-images ${CMAKE_CURRENT_LIST_DIR}/make_skin_images.cpp)
# The labels are the calculator's own names of the key maps' actions; the key
# map text is read by the skin authors' library (tools/skin).
target_link_libraries(make-skin-images PRIVATE vela_phone vela_skinauthoring)

set(contrast_dir ${PROJECT_SOURCE_DIR}/skins/contrast)
set(contrast_args --style contrast --keys ${contrast_dir}/keys.txt)

add_custom_target(skin-images
  COMMAND make-skin-images ${PROJECT_SOURCE_DIR}/resources/skin
  COMMAND make-skin-images ${contrast_args} ${contrast_dir}
  COMMAND make-skin-images ${contrast_args} --scale 2 ${contrast_dir}
  COMMENT "Redrawing resources/skin/*.bmp and skins/contrast/*.bmp"
  VERBATIM)

add_test(NAME skin_images_up_to_date
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:make-skin-images>
    -DOUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/skin_images_check
    -DEXPECTED_DIR=${PROJECT_SOURCE_DIR}/resources/skin
    -P ${CMAKE_CURRENT_LIST_DIR}/compare_skin_images.cmake)

add_test(NAME contrast_skin_images_up_to_date
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:make-skin-images>
    "-DGENERATOR_ARGS=${contrast_args}"
    -DOUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/contrast_images_check
    -DEXPECTED_DIR=${contrast_dir}
    -P ${CMAKE_CURRENT_LIST_DIR}/compare_skin_images.cmake)

add_test(NAME contrast_sharp_images_up_to_date
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:make-skin-images>
    "-DGENERATOR_ARGS=${contrast_args};--scale;2"
    -DSUFFIX=@2x
    -DOUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/contrast_sharp_images_check
    -DEXPECTED_DIR=${contrast_dir}
    -P ${CMAKE_CURRENT_LIST_DIR}/compare_skin_images.cmake)
