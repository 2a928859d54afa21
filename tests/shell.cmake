add_unit_test(shell_test SOURCES shell_test.cpp shell_states_test.cpp LIBS shell_logic platform_fakes)
add_windowed_test(play_windowed windowed/play.sh)
