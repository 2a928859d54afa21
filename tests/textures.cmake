# Image loaders and texture manager: window-free, with images made at run
# time by ImageMagick and netpbm; one windowed test uploads for real.
add_unit_test(textures_test SOURCES textures_test.cpp LIBS textures_decode)

if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_executable(textures_upload_probe textures_upload_probe.cpp)
  target_link_libraries(textures_upload_probe PRIVATE textures_gl)
endif()
add_windowed_test(textures_upload windowed/textures_upload.sh)
