# Fails unless `nm -D --defined-only` lists exactly the seventeen exports among
# the library's own symbols.
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  # The version-script node name appears as an absolute symbol on some linkers.
  if(NOT name MATCHES "^VORLIN_" AND NOT name STREQUAL "")
    list(APPEND names ${name})
  endif()
endforeach()
list(SORT names)
set(expected VorAdToIslamic VorCalculate VorCalculateN VorCivilToHijri VorCrescentEvening
             VorDefaultTimesSettings VorHijriToCivil VorIslamicToAd VorMethodCount VorMethodName
             VorMethodSettings VorMoonInfo VorMoonInfoN VorQiblaInfo VorTimesOfDay VorTimesOfRange
             VorisValidDate)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: ${names}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${names}")
