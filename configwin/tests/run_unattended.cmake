# Runs the utility with the settings file SETTINGS against SCENARIO and checks
# its exit status and what it wrote: the data reports, commits and closes of
# the simulator's trace, without their times. A window that opens instead of
# the program ending shows as the timeout.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen DRAVIK_SIM=${SCENARIO} DRAVIK_SIM_LOG=${LOG}
          ${PROGRAM} ${SETTINGS}
  RESULT_VARIABLE status TIMEOUT 30)
if(NOT status STREQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "${PROGRAM} ${SETTINGS}: status ${status}, expected ${EXPECTED_STATUS}")
endif()
file(STRINGS ${LOG} written REGEX " (data |command 00 90 |close)")
list(TRANSFORM written REPLACE "^T\\+[0-9]+ " "")
file(STRINGS ${EXPECTED} expected)
if(NOT written STREQUAL expected)
  string(REPLACE ";" "\n" written "${written}")
  message(FATAL_ERROR "written:\n${written}\nexpected: the lines of ${EXPECTED}")
endif()
