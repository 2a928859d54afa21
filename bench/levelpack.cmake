# The editor's save of a 1,000-level pack beside a plain copy of the file.
add_executable(levelpack_bench ${CMAKE_CURRENT_LIST_DIR}/levelpack_bench.cpp)
target_link_libraries(levelpack_bench PRIVATE levelpack)
