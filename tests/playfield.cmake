# Play field and play rules, window-free; the bot test plays the shipped starter pack, the
# replay test the arcade pack (and tlpcheck --replay where tlpcheck is built).
add_unit_test(playfield_test SOURCES playfield_test.cpp playfield_laser_test.cpp playfield_bot_test.cpp playfield_frame_rate_test.cpp
              playfield_replay_test.cpp
              LIBS playfield_bot playfield)
target_compile_definitions(playfield_test PRIVATE TESSIVAR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  target_compile_definitions(playfield_test PRIVATE TLPCHECK_PATH="$<TARGET_FILE:tlpcheck>")
  add_dependencies(playfield_test tlpcheck)
endif()
add_unit_test(shipped_levels_test SOURCES shipped_levels_test.cpp LIBS playfield_bot playfield platform_dirlist)
target_compile_definitions(shipped_levels_test PRIVATE TESSIVAR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# tlpcheck's exit status: 2 for a pack it cannot read.
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_test(NAME tlpcheck_unreadable_pack
           COMMAND sh -c "$<TARGET_FILE:tlpcheck> --seeds 1 does-not-exist.tlp >/dev/null; test $? -eq 2")
  set_tests_properties(tlpcheck_unreadable_pack PROPERTIES LABELS unit)
  # Packs that are not what they claim, header values out of range, a pack found by its name alone.
  add_test(NAME tlpcheck_hostile_packs COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tlpcheck_test.sh $<TARGET_FILE:tlpcheck>)
  set_tests_properties(tlpcheck_hostile_packs PROPERTIES LABELS unit)
endif()
