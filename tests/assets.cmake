# Shipped content: the level packs (window-free, checked in every configuration)
# and the generated textures and sounds in the runtime folder.
add_unit_test(shipped_packs_test SOURCES shipped_packs_test.cpp LIBS levelpack)
target_compile_definitions(shipped_packs_test PRIVATE TESSIVAR_PACK_DIR="${CMAKE_SOURCE_DIR}/assets/Levels Packs")

if(NOT TESSIVAR_UNIT_TESTS_ONLY)
  add_unit_test(assetgen_test SOURCES assetgen_test.cpp LIBS assetgen_core)

  add_executable(assets_test assets_test.cpp)
  target_link_libraries(assets_test PRIVATE levelpack backend_sdl2_mixer GTest::gtest GTest::gtest_main)
  target_include_directories(assets_test PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(assets_test PRIVATE TESSIVAR_RUNTIME_DIR="${RUNTIME_DIR}")
  add_dependencies(assets_test runtime)
  gtest_discover_tests(assets_test PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
endif()
