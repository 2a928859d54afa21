# Decode throughput of the image loaders beside stb_image (Debian libstb-dev).
add_executable(textures_bench textures_bench.cpp)
target_link_libraries(textures_bench PRIVATE textures_decode)
