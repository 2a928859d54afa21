add_unit_test(editor_test SOURCES editor_test.cpp editor_session_test.cpp LIBS editor_logic)
add_windowed_test(editor_windowed windowed/editor.sh)
# The windowed test closes TLES's window as a desktop's close button does; there is no window manager.
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  find_package(X11 REQUIRED)
  add_executable(wm_close wm_close.c)
  target_link_libraries(wm_close PRIVATE X11::X11)
endif()
