# The image decoders over arbitrary bytes; seeds in fuzz/corpus/<target>/.
add_fuzz_target(fuzz_textures_tga textures_tga.cpp)
target_link_libraries(fuzz_textures_tga PRIVATE textures_decode)
add_fuzz_target(fuzz_textures_bmp textures_bmp.cpp)
target_link_libraries(fuzz_textures_bmp PRIVATE textures_decode)
