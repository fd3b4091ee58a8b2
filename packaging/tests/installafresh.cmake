# Installs a build into an empty prefix, so that what the tests find there is what
# this install wrote and nothing an earlier one left. The prefix is then made
# read-only, as a system install is to the user who runs it.
# cmake -DBUILD_DIR=<build> -DPREFIX=<prefix> -P installafresh.cmake
if(EXISTS ${PREFIX})
  # An earlier run left it read-only: its folders must be writable to be emptied.
  file(CHMOD_RECURSE ${PREFIX} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endif()
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} --prefix ${PREFIX} ended with ${code}\n${out}${err}")
endif()
file(GLOB_RECURSE folders LIST_DIRECTORIES true ${PREFIX}/*)
foreach(entry ${PREFIX} ${folders})
  if(IS_DIRECTORY ${entry} AND NOT IS_SYMLINK ${entry})
    file(CHMOD ${entry} PERMISSIONS OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
