add_unit_test(editor_test SOURCES editor_test.cpp editor_session_test.cpp LIBS editor_logic)
add_windowed_test(editor_windowed windowed/editor.sh)
# The windowed test closes TLES's window as a desktop's close button does; there is no window manager.
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_executable(wm_close wm_close.c)
  target_link_libraries(wm_close PRIVATE backend_x11)
  # Where the windowed scripts click: the editor's own scene-to-window mapping.
  add_executable(editor_pixel editor_pixel.cpp)
  target_link_libraries(editor_pixel PRIVATE editor_logic)
endif()
# TLES's Play level with the real game, and the game given a pack file.
add_windowed_test(playtest_windowed windowed/playtest.sh)
