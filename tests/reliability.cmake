# Saving under injected failures: faultshim (LD_PRELOAD) makes write, fsync, close or rename fail in
# save_probe, which runs the real save paths (packs, and the game's config.ini); the test also fills a
# small tmpfs when it may mount one.
add_library(faultshim SHARED faultshim.c)
target_link_libraries(faultshim PRIVATE ${CMAKE_DL_LIBS})
# Plain code: a sanitizer runtime inside a preloaded library would have to come first itself.
set_property(TARGET faultshim PROPERTY COMPILE_OPTIONS -Wall -Wextra)
set_property(TARGET faultshim PROPERTY LINK_OPTIONS "")

add_executable(save_probe save_probe.cpp)
target_link_libraries(save_probe PRIVATE editor_logic shell_config levelpack)

add_unit_test(save_faults_test SOURCES save_faults_test.cpp LIBS levelpack)
add_dependencies(save_faults_test faultshim save_probe)
target_compile_definitions(save_faults_test PRIVATE FAULT_SHIM="$<TARGET_FILE:faultshim>"
                           SAVE_PROBE="$<TARGET_FILE:save_probe>")
