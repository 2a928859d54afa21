# One play-phase step on a full field. The sound calls are stubbed in the
# benchmark itself so that nothing but the rules is measured.
add_executable(playfield_bench ${CMAKE_CURRENT_LIST_DIR}/playfield_bench.cpp)
target_link_libraries(playfield_bench PRIVATE playfield benchmark::benchmark)
