add_unit_test(shell_test SOURCES shell_test.cpp shell_states_test.cpp shell_gamepad_test.cpp shell_replay_test.cpp LIBS shell_logic platform_fakes)
add_windowed_test(play_windowed windowed/play.sh)
add_windowed_test(bad_input_windowed windowed/bad_input.sh)
add_windowed_test(replay_windowed windowed/replay.sh)
# The game's command line answers before it opens anything: help on standard output, an unknown option refused.
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_test(NAME tessivar_command_line
           COMMAND sh -c "$<TARGET_FILE:tessivar> --help | grep -q '^usage: tessivar' &&
                          $<TARGET_FILE:tessivar> --bogus 2>&1 >/dev/null | grep -q '^tessivar: unknown option --bogus' &&
                          { $<TARGET_FILE:tessivar> --bogus 2>/dev/null; test $? -eq 2; }")
  set_tests_properties(tessivar_command_line PROPERTIES LABELS unit)
endif()
