# Runs the utility with ARGUMENTS ('|' between them) against SCENARIO on the
# offscreen platform, with NO_DISPLAY without any display variable, or with
# DISPLAY_ENVIRONMENT ('|' between them, e.g. DISPLAY=:9) in place of all
# of them, and checks its exit status and, where given:
#   STDERR     a line that stderr holds exactly once
#   TRACE      the simulator's whole trace ("" when the library never loaded)
#   WRITTEN    a file of the trace's data reports, commits and closes, without times
#   NOTHING_WRITTEN  no data report, commit or keystroke halt in the trace
# FIFO names a FIFO made first; ALONE a folder the program is copied to, to
# run without the library beside it; CLOSED_STDERR the program that runs it
# with stderr on a pipe nobody reads; ENVIRONMENT ('|' between them) more
# variables, set last. A window that opens instead of the program
# ending shows as the timeout.
string(REPLACE "|" ";" arguments "${ARGUMENTS}")
if(FIFO)
  file(REMOVE ${FIFO})
  execute_process(COMMAND mkfifo ${FIFO} COMMAND_ERROR_IS_FATAL ANY)
endif()
if(ALONE)
  file(REMOVE_RECURSE ${ALONE})
  file(COPY ${PROGRAM} DESTINATION ${ALONE})
  get_filename_component(name ${PROGRAM} NAME)
  set(PROGRAM ${ALONE}/${name})
endif()
if(NO_DISPLAY OR DEFINED DISPLAY_ENVIRONMENT)
  string(REPLACE "|" ";" display "${DISPLAY_ENVIRONMENT}")
  list(PREPEND display --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
else()
  set(display QT_QPA_PLATFORM=offscreen)
endif()
string(REPLACE "|" ";" environment "${ENVIRONMENT}")
file(REMOVE ${LOG})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${display} DRAVIK_SIM=${SCENARIO} DRAVIK_SIM_LOG=${LOG} ${environment}
          ${CLOSED_STDERR} ${PROGRAM} ${arguments}
  RESULT_VARIABLE status ERROR_VARIABLE errors TIMEOUT 30)
if(NOT status STREQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "${PROGRAM} ${arguments}: status ${status}, expected ${EXPECTED_STATUS}\nstderr:\n${errors}")
endif()

if(DEFINED STDERR)
  string(REPLACE "\n" ";" lines "${errors}")
  set(found 0)
  foreach(line IN LISTS lines)
    if(line STREQUAL STDERR)
      math(EXPR found "${found} + 1")
    endif()
  endforeach()
  if(NOT found EQUAL 1)
    message(FATAL_ERROR "stderr holds the line ${found} times:\n${STDERR}\nstderr:\n${errors}")
  endif()
endif()

set(trace "")
if(EXISTS ${LOG})
  file(READ ${LOG} trace)
endif()
if(DEFINED TRACE AND NOT trace STREQUAL TRACE)
  message(FATAL_ERROR "trace:\n${trace}expected:\n${TRACE}")
endif()
if(NOTHING_WRITTEN AND trace MATCHES " (data |command 00 90 |command 00 B[01] )")
  message(FATAL_ERROR "written to the sensor:\n${trace}")
endif()
if(WRITTEN)
  file(STRINGS ${LOG} written REGEX " (data |command 00 90 |close)")
  list(TRANSFORM written REPLACE "^T\\+[0-9]+ " "")
  file(STRINGS ${WRITTEN} expected)
  if(NOT written STREQUAL expected)
    string(REPLACE ";" "\n" written "${written}")
    message(FATAL_ERROR "written:\n${written}\nexpected: the lines of ${WRITTEN}")
  endif()
endif()
