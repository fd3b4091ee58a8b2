# Runs one program with one argument (--version or --help) and fails unless it ends
# with code 0 and the first line of what it prints is exactly FIRST_LINE.
# cmake -DPROGRAM=<path> -DARGUMENT=<word> -DFIRST_LINE=<text> -P CheckProgramInfo.cmake
execute_process(COMMAND ${PROGRAM} ${ARGUMENT}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENT} ended with ${code}\nstdout:\n${out}\nstderr:\n${err}")
endif()
string(FIND "${out}" "\n" end)
string(SUBSTRING "${out}" 0 ${end} first)
if(NOT first STREQUAL FIRST_LINE)
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENT}: first line \"${first}\", expected \"${FIRST_LINE}\"\n${out}")
endif()
