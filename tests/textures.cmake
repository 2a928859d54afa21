# Image loaders and texture manager: window-free, with images made at run
# time by ImageMagick and netpbm; one windowed test uploads for real.
add_unit_test(textures_test SOURCES textures_test.cpp LIBS textures_decode)
