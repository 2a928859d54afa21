# The config.ini reader; seeds in fuzz/corpus/fuzz_config_read/.
add_fuzz_target(fuzz_config_read config_read.cpp)
target_link_libraries(fuzz_config_read PRIVATE shell_config)

# The readers of scores.txt, continue.txt and settings.ini, one target each; seeds in fuzz/corpus/<target>/.
set(record_kinds scores continue settings)
foreach(kind IN LISTS record_kinds)
  list(FIND record_kinds ${kind} index)
  add_fuzz_target(fuzz_records_${kind} records_read.cpp)
  target_compile_definitions(fuzz_records_${kind} PRIVATE RECORDS_KIND=${index})
  target_link_libraries(fuzz_records_${kind} PRIVATE shell_config)
endforeach()
