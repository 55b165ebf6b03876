# The DLL exports exactly the seventeen functions under their plain names and
# imports system DLLs only.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
# Square brackets confuse CMake's list splitting: use angle brackets.
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")
string(REGEX MATCH "<Ordinal/Name Pointer> Table[^\n]*\n(([ \t]+<[ 0-9]+>[^\n]*\n)+)" table "${dump}")
string(REGEX MATCHALL "> [^\n]+" entries "${CMAKE_MATCH_1}")
set(names "")
foreach(e IN LISTS entries)
  string(REGEX REPLACE "^> " "" n "${e}")
  string(STRIP "${n}" n)
  list(APPEND names ${n})
endforeach()
list(SORT names)
set(expected VorAdToIslamic VorCalculate VorCalculateN VorCivilToHijri VorCrescentEvening
             VorDefaultTimesSettings VorHijriToCivil VorIslamicToAd VorMethodCount VorMethodName
             VorMethodSettings VorMoonInfo VorMoonInfoN VorQiblaInfo VorTimesOfDay VorTimesOfRange
             VorisValidDate)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports of ${DLL}: '${names}', expected '${expected}'")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(i IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" dll "${i}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|msvcrt|ntdll|user32|advapi32)\\.dll$" AND NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${DLL} imports a non-system DLL: ${dll}")
  endif()
endforeach()
message(STATUS "exports: ${names}; imports: ${imports}")
