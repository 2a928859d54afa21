add_unit_test(shell_test SOURCES shell_test.cpp shell_states_test.cpp shell_gamepad_test.cpp LIBS shell_logic platform_fakes)
add_windowed_test(play_windowed windowed/play.sh)
add_windowed_test(bad_input_windowed windowed/bad_input.sh)
add_unit_test(records_test SOURCES records_test.cpp LIBS shell_config)
