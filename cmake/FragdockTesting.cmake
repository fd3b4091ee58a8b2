# Shared helpers for tests and benchmarks.

# The installed layout under test. The test "fragdock_install" sets up the fixture
# named by FRAGDOCK_INSTALL_FIXTURE ("installed_prefix"): it empties
# FRAGDOCK_TEST_PREFIX and runs "cmake --install" of this build into it. A test of
# the installed programs requires that fixture (FIXTURES_REQUIRED) and reads them
# below that prefix (bin/fragdock, ${FRAGDOCK_INSTALL_PROGRAM_DIR}/...).
set(FRAGDOCK_TEST_PREFIX ${CMAKE_BINARY_DIR}/install-test/prefix)
set(FRAGDOCK_INSTALL_FIXTURE installed_prefix)
find_package(GTest REQUIRED)
include(GoogleTest)

# A test program's own sources compile with -Og and line tables only: they are mostly
# expanded assertion macros, which run no faster at -O2 and cost twice the time to
# compile there with full debug information. The code under test keeps the build's
# level; a debug build keeps the tests' full debug information too.
set(FRAGDOCK_TEST_COMPILE_OPTIONS $<$<NOT:$<CONFIG:Debug>>:-Og> $<$<NOT:$<CONFIG:Debug>>:-g1>)

# GoogleTest and the standard headers most tests include, parsed once for the whole
# build: every test program whose compiler settings match reuses this one precompiled
# header (where one cannot, the compiler warns, -Winvalid-pch, and reads the headers).
set(FRAGDOCK_TEST_PCH_HEADERS
  <gtest/gtest.h> <algorithm> <chrono> <filesystem> <fstream> <functional> <map>
  <memory> <optional> <set> <sstream> <string> <string_view> <thread> <vector>)
# What widget tests add to it: the Qt headers most of them include.
set(FRAGDOCK_TEST_QT_PCH_HEADERS
  <QApplication> <QElapsedTimer> <QString> <QStringList> <QTimer> <QWidget>)
file(WRITE ${CMAKE_BINARY_DIR}/fragdock_test_pch.cpp "// the shared precompiled header of the test programs\n")
add_library(fragdock_test_pch OBJECT EXCLUDE_FROM_ALL ${CMAKE_BINARY_DIR}/fragdock_test_pch.cpp)
target_link_libraries(fragdock_test_pch PRIVATE GTest::gtest)
target_compile_options(fragdock_test_pch PRIVATE ${FRAGDOCK_TEST_COMPILE_OPTIONS})
target_precompile_headers(fragdock_test_pch PRIVATE ${FRAGDOCK_TEST_PCH_HEADERS})

# gold links a test program in half the time of the default linker; where the
# toolchain has no gold, the default links.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=gold FRAGDOCK_HAVE_GOLD)

# Every test program, and through their dependencies everything the tests start: what
# a build that only runs the tests needs, without the demo content and other programs.
add_custom_target(fragdock_tests)

# fragdock_links_qt(OUT target...): whether any of the targets links Qt, directly or
# through the libraries it links.
function(fragdock_links_qt out)
  set(pending ${ARGN})
  set(seen "")
  while(pending)
    list(POP_FRONT pending lib)
    if(lib IN_LIST seen OR lib MATCHES "^\\$<")
      continue()
    endif()
    list(APPEND seen ${lib})
    if(lib MATCHES "^Qt[0-9]*::")
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
    if(TARGET ${lib})
      get_target_property(links ${lib} INTERFACE_LINK_LIBRARIES)
      if(links)
        list(APPEND pending ${links})
      endif()
    endif()
  endwhile()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

# fragdock_test(NAME [OWN_MAIN] SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l1 l2] [ENV K=V ...] [FIXTURES f])
# One GoogleTest executable; every TEST becomes its own CTest case. OWN_MAIN for tests
# that bring their own main() (widget tests create the application object there).
# FIXTURES: CTest fixtures every case requires (the installed prefix, for one).
function(fragdock_test name)
  cmake_parse_arguments(T "OWN_MAIN" "" "SOURCES;LIBS;LABELS;ENV;FIXTURES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  add_dependencies(fragdock_tests ${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  if(NOT T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_options(${name} PRIVATE ${FRAGDOCK_TEST_COMPILE_OPTIONS})
  if(FRAGDOCK_HAVE_GOLD)
    target_link_options(${name} PRIVATE -fuse-ld=gold)
  endif()
  # Qt compiles everything that links it with -fPIC, which a precompiled header must
  # match: such a test program makes its own, with the Qt headers added.
  fragdock_links_qt(links_qt ${T_LIBS})
  if(links_qt)
    target_precompile_headers(${name} PRIVATE ${FRAGDOCK_TEST_PCH_HEADERS} ${FRAGDOCK_TEST_QT_PCH_HEADERS})
  else()
    target_precompile_headers(${name} REUSE_FROM fragdock_test_pch)
  endif()
  # The shared header is C++; C sources of a test program (header checks) go without it.
  foreach(source IN LISTS T_SOURCES)
    if(source MATCHES "\\.c$")
      set_source_files_properties(${source} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
  fragdock_add_gtest(${name} LABELS ${T_LABELS} ENV ${T_ENV} FIXTURES ${T_FIXTURES})
endfunction()

# By default each test case is a CTest test of its own, so that a failure names its
# case and one case's crash stays its own. With this OFF each test program is one
# CTest test that runs all its cases: the check's sanitizer stage does so, where
# starting a sanitized process for each of some 440 cases is half of its test time.
option(FRAGDOCK_TEST_PER_CASE "Register every test case as its own CTest test" ON)

# fragdock_add_gtest(PROGRAM [PREFIX p] [LABELS ...] [ENV K=V ...] [FIXTURES ...]):
# the CTest tests of a GoogleTest program, their names starting with PREFIX.
function(fragdock_add_gtest program)
  cmake_parse_arguments(G "" "PREFIX" "LABELS;ENV;FIXTURES" ${ARGN})
  if(NOT FRAGDOCK_TEST_PER_CASE)
    set(test "${G_PREFIX}${program}")
    add_test(NAME ${test} COMMAND ${program})
    set_property(TEST ${test} PROPERTY TIMEOUT 900)
    set_property(TEST ${test} PROPERTY LABELS ${G_LABELS})
    set_property(TEST ${test} PROPERTY ENVIRONMENT ${G_ENV})
    set_property(TEST ${test} PROPERTY FIXTURES_REQUIRED ${G_FIXTURES})
    return()
  endif()
  set(props "")
  if(G_LABELS)
    list(APPEND props LABELS "${G_LABELS}")
  endif()
  if(G_ENV)
    list(APPEND props ENVIRONMENT "${G_ENV}")
  endif()
  if(G_FIXTURES)
    list(APPEND props FIXTURES_REQUIRED "${G_FIXTURES}")
  endif()
  gtest_discover_tests(${program} TEST_PREFIX "${G_PREFIX}" DISCOVERY_TIMEOUT 60
    PROPERTIES ${props} TIMEOUT 300)
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

# fragdock_info_tests(TEST SHOWN PROGRAM [REQUIRES fixture]): <TEST>_version and
# <TEST>_help run PROGRAM with --version and --help where there is no display at all
# (no X, no Wayland, no platform or video driver chosen), and check that it ends with
# 0 and first prints "<SHOWN> <project version>". With REQUIRES, a program of an
# installed layout: the tests need that fixture and are labelled install too.
function(fragdock_info_tests test shown program)
  cmake_parse_arguments(I "" "REQUIRES" "" ${ARGN})
  set(no_display --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM --unset=SDL_VIDEODRIVER)
  foreach(word version help)
    add_test(NAME ${test}_${word}
      COMMAND ${CMAKE_COMMAND} -E env ${no_display}
        ${CMAKE_COMMAND} -DPROGRAM=${program} -DARGUMENT=--${word} "-DFIRST_LINE=${shown} ${PROJECT_VERSION}"
        -P ${CMAKE_SOURCE_DIR}/cmake/CheckProgramInfo.cmake)
    set_tests_properties(${test}_${word} PROPERTIES LABELS info)
    if(I_REQUIRES)
      set_tests_properties(${test}_${word} PROPERTIES LABELS "info;install" FIXTURES_REQUIRED ${I_REQUIRES})
    endif()
  endforeach()
endfunction()
