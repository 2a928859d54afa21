# The pack reader at any level number and the rewrite pass of the save; seeds in fuzz/corpus/<target>/.
add_fuzz_target(fuzz_levelpack_read levelpack_read.cpp)
target_link_libraries(fuzz_levelpack_read PRIVATE levelpack)
add_fuzz_target(fuzz_levelpack_rewrite levelpack_rewrite.cpp)
target_link_libraries(fuzz_levelpack_rewrite PRIVATE levelpack)
