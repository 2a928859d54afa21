add_unit_test(editor_test SOURCES editor_test.cpp editor_session_test.cpp LIBS editor_logic)
add_windowed_test(editor_windowed windowed/editor.sh)
