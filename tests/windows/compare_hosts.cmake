# Runs the host against the Windows DLL under Wine and against the Linux
# library, and requires the same results byte for byte.  On 32-bit x86 the
# Windows host also reports that every export popped its own arguments.
file(MAKE_DIRECTORY ${OUT})
string(REPLACE "/" "\\" dll_windows_path "Z:${DLL}")
# The `wine` launcher runs its 32-bit loader; where this machine cannot
# execute 32-bit x86 programs, the 64-bit DLL's host goes to the 64-bit
# loader and the 32-bit DLL's host test is skipped (saying why).
execute_process(COMMAND ${WINE} --version RESULT_VARIABLE rc_launcher OUTPUT_QUIET ERROR_QUIET)
if(NOT rc_launcher EQUAL 0)
  if(ARCH STREQUAL "x86" OR NOT WINE64)
    message(STATUS "SKIPPED: this machine cannot execute 32-bit x86 programs (wine --version: ${rc_launcher})")
    return()
  endif()
  set(WINE ${WINE64})
  set(ENV{WINELOADER} ${WINE64})
endif()
execute_process(COMMAND ${WINE} ${WINDOWS_HOST} ${dll_windows_path} ${OUT}/windows.txt
                RESULT_VARIABLE rc_windows ERROR_VARIABLE err_windows OUTPUT_QUIET)
if(NOT rc_windows EQUAL 0)
  message(FATAL_ERROR "Windows host failed (${rc_windows}):\n${err_windows}")
endif()
execute_process(COMMAND ${LINUX_HOST} ${LINUX_LIBRARY} ${OUT}/linux.txt
                RESULT_VARIABLE rc_linux ERROR_VARIABLE err_linux)
if(NOT rc_linux EQUAL 0)
  message(FATAL_ERROR "Linux host failed (${rc_linux}):\n${err_linux}")
endif()
file(READ ${OUT}/windows.txt windows)
file(READ ${OUT}/linux.txt linux)
string(REGEX MATCHALL "[A-Za-z]+ popped its [0-9]+ argument bytes\n" popped "${windows}")
string(REGEX REPLACE "[A-Za-z]+ popped its [0-9]+ argument bytes\n" "" windows "${windows}")
if(STACK_CHECKED)
  list(LENGTH popped calls)
  if(calls LESS 18)
    message(FATAL_ERROR "expected a stack check on every call, saw ${calls}")
  endif()
  foreach(name VorisValidDate VorAdToIslamic VorIslamicToAd VorCalculate VorMoonInfo VorQiblaInfo
               VorCalculateN VorMoonInfoN VorDefaultTimesSettings VorMethodCount VorMethodName
               VorMethodSettings VorTimesOfDay VorTimesOfRange VorCivilToHijri VorHijriToCivil
               VorCrescentEvening)
    if(NOT popped MATCHES "${name} popped")
      message(FATAL_ERROR "${name} was not stack-checked")
    endif()
  endforeach()
endif()
file(WRITE ${OUT}/windows-results.txt "${windows}")
string(LENGTH "${linux}" length)
if(length LESS 2000)
  message(FATAL_ERROR "the Linux results are suspiciously short (${length} bytes)")
endif()
if(NOT windows STREQUAL linux)
  execute_process(COMMAND diff ${OUT}/linux.txt ${OUT}/windows-results.txt OUTPUT_VARIABLE d)
  message(FATAL_ERROR "Windows and Linux results differ:\n${d}")
endif()
message(STATUS "${length} bytes of results identical")
