# Installs a build into an empty prefix, so that what the tests find there is what
# this install wrote and nothing an earlier one left.
# cmake -DBUILD_DIR=<build> -DPREFIX=<prefix> -P installafresh.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} --prefix ${PREFIX} ended with ${code}\n${out}${err}")
endif()
