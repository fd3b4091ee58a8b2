# Fails when a file of one area of the launcher's core includes a header of an
# area it may not use. Run at build time by fragdock_core_area() with
#   AREA          the area checked
#   ALLOWED       the areas its code may include (itself and every area below it)
#   FILES         its sources and headers
#   TEST_ALLOWED  the areas its tests may include (ALLOWED, and what they drive besides)
#   TEST_FILES    its tests
#   STAMP         the file written once every include is allowed
# Headers in another area's tests/ folder are shared test helpers, not code of
# that area, and may be included by any test.
cmake_minimum_required(VERSION 3.25)

function(check_includes files allowed)
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"core/[^/\"]+/")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "\"core/([^/\"]+)/([^\"]*)\"" included "${line}")
      set(area "${CMAKE_MATCH_1}")
      set(rest "${CMAKE_MATCH_2}")
      if(rest MATCHES "^tests/" AND file MATCHES "/tests/")
        continue()
      endif()
      if(NOT area IN_LIST allowed)
        string(REPLACE ";" ", " allowed_text "${allowed}")
        message(FATAL_ERROR "${file} includes \"core/${area}/${rest}\": the ${AREA} area may include only "
                            "${allowed_text}. Move what it needs down, or pass it in.")
      endif()
    endforeach()
  endforeach()
endfunction()

check_includes("${FILES}" "${ALLOWED}")
check_includes("${TEST_FILES}" "${TEST_ALLOWED}")
file(WRITE "${STAMP}" "")
