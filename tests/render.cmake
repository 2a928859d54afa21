# The renderers in a real window; needs DISPLAY like the windowed scripts.
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_executable(render_test render_test.cpp)
  target_link_libraries(render_test PRIVATE render shell_logic platform_fakes GTest::gtest GTest::gtest_main)
  add_test(NAME render_windowed COMMAND render_test)
  set_tests_properties(render_windowed PROPERTIES LABELS windowed TIMEOUT 300
    ENVIRONMENT "BUILD_DIR=${CMAKE_BINARY_DIR};RUNTIME_DIR=${RUNTIME_DIR}")
endif()
add_windowed_test(render_fallbacks_windowed windowed/fallbacks.sh)

# The picture on screens of every common shape, full screen and in a window; the desktop's names and icons.
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_executable(picture_probe picture_probe.cpp)   # what the script asks of its screenshots
endif()
add_windowed_test(presentation_windowed windowed/presentation.sh)
if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  set_tests_properties(presentation_windowed PROPERTIES TIMEOUT 600)
endif()

# The shader sources compile as GLSL on their own, independent of any driver.
find_program(GLSLANG_VALIDATOR glslangValidator)
if(GLSLANG_VALIDATOR)
  add_test(NAME shaders_validate
           COMMAND ${GLSLANG_VALIDATOR} ${CMAKE_SOURCE_DIR}/assets/Shaders/shadows.vert
                   ${CMAKE_SOURCE_DIR}/assets/Shaders/shadows.frag)
  set_tests_properties(shaders_validate PROPERTIES LABELS unit)
endif()

# The spot-light bounds need no window: unit-tested like the rules.
add_unit_test(render_bounds_test SOURCES render_bounds_test.cpp LIBS render_bounds)
