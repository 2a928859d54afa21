# Frames per second of the real renderers in a GLUT window (needs DISPLAY).
add_executable(render_bench ${CMAKE_CURRENT_LIST_DIR}/render_bench.cpp)
target_link_libraries(render_bench PRIVATE render textures_gl playfield shell_config engine_state levelpack
                      platform_fakes)
