# Creates the Wine prefix (once) and starts a wineserver that outlives the
# tests, with its output kept away from CTest's pipes.
execute_process(COMMAND ${WINESERVER} -p120 OUTPUT_FILE ${LOG} ERROR_FILE ${LOG}.err)
execute_process(COMMAND ${WINEBOOT} --init RESULT_VARIABLE rc OUTPUT_FILE ${LOG}.boot ERROR_FILE ${LOG}.boot.err)
if(NOT rc EQUAL 0 AND WINE64)
  # A machine that cannot execute 32-bit x86 programs: the 64-bit loader
  # makes the prefix (the 32-bit DLL's host test then reports a skip).
  set(ENV{WINELOADER} ${WINE64})
  execute_process(COMMAND ${WINE64} wineboot --init RESULT_VARIABLE rc
                  OUTPUT_FILE ${LOG}.boot64 ERROR_FILE ${LOG}.boot64.err)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "wineboot --init failed (${rc}) for ${PREFIX}")
endif()
