add_unit_test(levelpack_test SOURCES levelpack_test.cpp LIBS levelpack)
add_unit_test(config_test SOURCES config_test.cpp LIBS shell_config engine_state)
add_unit_test(lights_test SOURCES lights_test.cpp LIBS engine_state)
add_windowed_test(startup_windowed windowed/startup.sh)
