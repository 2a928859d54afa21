# Assembles the runtime folder the programs run in: assets/ copied in, the
# generated assets added. It lies in the build tree, so playing never touches
# a tracked file.
set(RUNTIME_DIR ${CMAKE_BINARY_DIR}/runtime CACHE INTERNAL "The programs' working directory")

add_custom_target(runtime ALL
  COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/assets -DDST=${RUNTIME_DIR}
          -P ${CMAKE_SOURCE_DIR}/cmake/assemble_runtime.cmake
  COMMENT "Assembling the runtime folder ${RUNTIME_DIR}"
  VERBATIM)
