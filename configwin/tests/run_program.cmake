# Runs the utility with ARGUMENT against SCENARIO on the offscreen platform and
# checks its exit status and the simulator's trace. A window that opens
# instead of the program ending shows as the timeout.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen DRAVIK_SIM=${SCENARIO} DRAVIK_SIM_LOG=${LOG}
          ${PROGRAM} ${ARGUMENT}
  RESULT_VARIABLE status TIMEOUT 30)
if(NOT status STREQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENT}: status ${status}, expected ${EXPECTED_STATUS}")
endif()
file(READ ${LOG} trace)
if(NOT trace STREQUAL EXPECTED_TRACE)
  message(FATAL_ERROR "trace:\n${trace}expected:\n${EXPECTED_TRACE}")
endif()
