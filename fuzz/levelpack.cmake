# The pack reader at any level number, the one-pass reader, the rewrite pass of the save and the whole-pack
# change pass, the whole-pack check before a pack file is brought in; seeds in fuzz/corpus/<target>/
add_fuzz_target(fuzz_levelpack_read levelpack_read.cpp)
target_link_libraries(fuzz_levelpack_read PRIVATE levelpack)
add_fuzz_target(fuzz_levelpack_rewrite levelpack_rewrite.cpp)
target_link_libraries(fuzz_levelpack_rewrite PRIVATE levelpack)
add_fuzz_target(fuzz_levelpack_change levelpack_change.cpp)
target_link_libraries(fuzz_levelpack_change PRIVATE levelpack)
add_fuzz_target(fuzz_levelpack_scan levelpack_scan.cpp)
target_link_libraries(fuzz_levelpack_scan PRIVATE levelpack)
add_fuzz_target(fuzz_levelpack_import levelpack_import.cpp)
target_link_libraries(fuzz_levelpack_import PRIVATE levelpack)
