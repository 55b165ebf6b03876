# Creates the Wine prefix (once) and starts a wineserver that outlives the
# tests, with its output kept away from CTest's pipes.
execute_process(COMMAND ${WINESERVER} -p120 OUTPUT_FILE ${LOG} ERROR_FILE ${LOG}.err)
execute_process(COMMAND ${WINEBOOT} --init RESULT_VARIABLE rc OUTPUT_FILE ${LOG}.boot ERROR_FILE ${LOG}.boot.err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "wineboot --init failed (${rc}) for ${PREFIX}")
endif()
