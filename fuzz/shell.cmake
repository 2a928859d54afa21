# The config.ini reader; seeds in fuzz/corpus/fuzz_config_read/.
add_fuzz_target(fuzz_config_read config_read.cpp)
target_link_libraries(fuzz_config_read PRIVATE shell_config)
