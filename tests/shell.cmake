add_unit_test(shell_test SOURCES shell_test.cpp LIBS shell_logic platform_fakes)
