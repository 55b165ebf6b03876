# The README's map (docs/crescent-2024-03-10-yallop.svg) is what its
# documented command writes today, byte for byte.
set(example ${CMAKE_CURRENT_LIST_DIR}/../../docs/crescent-2024-03-10-yallop.svg)
set(written ${CMAKE_CURRENT_BINARY_DIR}/map_example.svg)
execute_process(COMMAND ${VORLIN} crescent --date 2024-03-10 --map ${written} --criterion yallop
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vorlin crescent --map: exit ${status}: ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${example} ${written} RESULT_VARIABLE differ)
file(REMOVE ${written})
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "docs/crescent-2024-03-10-yallop.svg is not what the documented command writes: "
                      "run it again (see the README's map section)")
endif()
