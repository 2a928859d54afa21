# One interface target per system backend, found once: a target that talks to a
# device links the backend and gets its headers and libraries with it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
add_library(backend_sdl2 INTERFACE)              # game controllers (and the mixer's base)
target_link_libraries(backend_sdl2 INTERFACE PkgConfig::SDL2)

if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
  add_library(backend_sdl2_mixer INTERFACE)      # samples and the music stream
  target_link_libraries(backend_sdl2_mixer INTERFACE PkgConfig::SDL2_MIXER backend_sdl2)

  find_package(X11 REQUIRED)
  if(NOT X11_Xi_FOUND)
    message(FATAL_ERROR "the XInput2 library (libxi-dev) is needed for key and button presses between frames")
  endif()
  add_library(backend_x11 INTERFACE)             # keys, buttons and focus from the X server
  target_link_libraries(backend_x11 INTERFACE X11::X11 X11::Xi)

  find_package(OpenGL REQUIRED)
  find_package(GLEW REQUIRED)
  find_package(GLUT REQUIRED)
  add_library(backend_gl INTERFACE)              # the window, OpenGL and its extensions
  target_link_libraries(backend_gl INTERFACE GLEW::GLEW GLUT::GLUT OpenGL::GLU OpenGL::GL)
endif()
