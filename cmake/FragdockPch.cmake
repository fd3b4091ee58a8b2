# fragdock_shared_pch(NAME HEADERS h...): an object library that only precompiles the
# headers, for libraries with matching compiler settings to reuse (REUSE_FROM): the
# standard headers nearly every source includes are then parsed once per build
# instead of once per source, which is about half of each source's compile time.
function(fragdock_shared_pch name)
  cmake_parse_arguments(P "" "" "HEADERS" ${ARGN})
  file(WRITE ${CMAKE_BINARY_DIR}/${name}.cpp "// headers precompiled once for the libraries that reuse them\n")
  add_library(${name} OBJECT EXCLUDE_FROM_ALL ${CMAKE_BINARY_DIR}/${name}.cpp)
  target_compile_features(${name} PRIVATE cxx_std_20)
  target_precompile_headers(${name} PRIVATE ${P_HEADERS})
endfunction()

