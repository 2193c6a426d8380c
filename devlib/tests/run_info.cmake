# Runs dravik_info against a simulator scenario and checks what it prints,
# its exit status and, when LOG is given, the trace it leaves there.
set(ENV{DRAVIK_SIM} "${SCENARIO}")
if(LOG)
  set(ENV{DRAVIK_SIM_LOG} "${LOG}")
  file(REMOVE "${LOG}")
endif()
# EMULATOR, when given, runs the program (wine for a Windows build), whose
# lines end in CR LF.
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
string(REPLACE "\r\n" "\n" output "${output}")
if(NOT status EQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${output}${errors}")
endif()
file(READ "${EXPECTED_OUTPUT}" expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "output differs\n--- expected\n${expected}--- printed\n${output}")
endif()
if(EXPECTED_ERROR AND NOT errors MATCHES "${EXPECTED_ERROR}")
  message(FATAL_ERROR "error output lacks \"${EXPECTED_ERROR}\":\n${errors}")
endif()
if(LOG)
  file(STRINGS "${LOG}" trace)
  foreach(line IN ITEMS
      "T+0 - list"
      "T+0 dev0 open \\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0001#hidraw0"
      "T+0 dev0 command 00 80 00 00 00 00 00 00 00"
      "T+250 dev0 read 00 00 7D 10 31 7D 05 02 00"
      "T+1500 dev0 command 00 8A 00 00 00 00 00 00 00"
      "T+1750 dev0 close")
    list(FIND trace "${line}" found)
    if(found EQUAL -1)
      message(FATAL_ERROR "trace lacks \"${line}\"")
    endif()
  endforeach()
  # The program only reads: no data report and no commit reach a sensor.
  foreach(line IN LISTS trace)
    if(line MATCHES "^T\\+[0-9]+ [^ ]+ (data |command 00 90 )")
      message(FATAL_ERROR "trace holds \"${line}\"")
    endif()
  endforeach()
endif()
