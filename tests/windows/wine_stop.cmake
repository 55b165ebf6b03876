# Stops the wineserver of the test prefix; a server that already exited is fine.
execute_process(COMMAND ${WINESERVER} -k RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
message(STATUS "wineserver -k: ${rc}")
