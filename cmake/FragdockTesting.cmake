# Shared helpers for tests and benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

# A test program's own sources compile with -Og and line tables only: they are mostly
# expanded assertion macros, which run no faster at -O2 and cost twice the time to
# compile there with full debug information. The code under test keeps the build's
# level; a debug build keeps the tests' full debug information too.
set(FRAGDOCK_TEST_COMPILE_OPTIONS $<$<NOT:$<CONFIG:Debug>>:-Og> $<$<NOT:$<CONFIG:Debug>>:-g1>)

# fragdock_test(NAME [OWN_MAIN] SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l1 l2] [ENV K=V ...])
# One GoogleTest executable; every TEST becomes its own CTest case. OWN_MAIN for tests
# that bring their own main() (widget tests create the application object there).
function(fragdock_test name)
  cmake_parse_arguments(T "OWN_MAIN" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  if(NOT T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_options(${name} PRIVATE ${FRAGDOCK_TEST_COMPILE_OPTIONS})
  set(props "")
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_ENV)
    list(APPEND props ENVIRONMENT "${T_ENV}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props} TIMEOUT 300)
endfunction()

# fragdock_bench(NAME SOURCES ... LIBS ...): a Google Benchmark program, never run by CTest.
function(fragdock_bench name)
  if(NOT FRAGDOCK_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# fragdock_add_subfolders(): adds every sub-folder of the current source folder that
# has a CMakeLists.txt, in name order. Areas keep their benchmarks and tools apart this way.
function(fragdock_add_subfolders)
  file(GLOB areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT areas)
  foreach(area ${areas})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt)
      add_subdirectory(${area})
    endif()
  endforeach()
endfunction()
