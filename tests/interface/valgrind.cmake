# Runs PROGRAM (one call of every export) under valgrind memcheck; any
# error or leak fails.  Without valgrind the test is skipped, except in CI
# (CI=true), where a missing valgrind fails.
if(NOT VALGRIND)
  if("$ENV{CI}" STREQUAL "true")
    message(FATAL_ERROR "valgrind is required in CI but was not found")
  endif()
  message("valgrind not found: test skipped")
  return()
endif()
execute_process(COMMAND ${VALGRIND} --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect
                        --track-origins=yes ${PROGRAM}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "valgrind found errors (exit ${rc}):\n${out}\n${err}")
endif()
string(REGEX MATCH "ERROR SUMMARY: [0-9]+ errors" summary "${err}")
message(STATUS "${out}${summary}")
