# Runs the utility with ARGUMENTS ('|' between them) against SCENARIO on the
# offscreen platform, with NO_DISPLAY without any display variable, or with
# DISPLAY_ENVIRONMENT ('|' between them, e.g. DISPLAY=:9) in place of all
# of them, and checks its exit status and, where given:
#   STDERR_HEX      the bytes, in hex, of a line that stderr holds exactly once
#   OWN_STDERR_HEX  the bytes, in hex, of the lines stderr holds under the
#                   program's titles (those beginning "Tornel"), each ended
#                   by a line break, in their order
#   QUIET           no line under the program's titles
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

# The text whose bytes `hex` holds.
function(from_hex hex text_variable)
  set(text "")
  string(LENGTH "${hex}" length)
  set(at 0)
  while(at LESS length)
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR byte "0x${byte}")
    string(ASCII ${byte} character)
    string(APPEND text "${character}")
    math(EXPR at "${at} + 2")
  endwhile()
  set(${text_variable} "${text}" PARENT_SCOPE)
endfunction()

# Each line of stderr as its bytes in hex: as a CMake list the lines
# themselves would split at every ';' and join at brackets.
set(error_lines)
set(rest "${errors}")
while(NOT rest STREQUAL "")
  string(FIND "${rest}" "\n" end)
  if(end EQUAL -1)
    set(line "${rest}")
    set(rest "")
  else()
    string(SUBSTRING "${rest}" 0 ${end} line)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${rest}" ${end} -1 rest)
  endif()
  string(HEX "${line}" line)
  list(APPEND error_lines "${line}")
endwhile()

if(DEFINED STDERR_HEX)
  set(found 0)
  foreach(line IN LISTS error_lines)
    if(line STREQUAL STDERR_HEX)
      math(EXPR found "${found} + 1")
    endif()
  endforeach()
  if(NOT found EQUAL 1)
    from_hex("${STDERR_HEX}" expected)
    message(FATAL_ERROR "stderr holds the line ${found} times:\n${expected}\nstderr:\n${errors}")
  endif()
endif()

if(DEFINED OWN_STDERR_HEX OR QUIET)
  string(HEX "Tornel" title)
  set(own_lines ${error_lines})
  list(FILTER own_lines INCLUDE REGEX "^${title}")
  set(own "")
  foreach(line IN LISTS own_lines)
    string(APPEND own "${line}0a")
  endforeach()
  if(NOT own STREQUAL "${OWN_STDERR_HEX}")
    from_hex("${OWN_STDERR_HEX}" expected)
    from_hex("${own}" own)
    message(FATAL_ERROR "the program's own lines on stderr:\n${own}expected:\n${expected}\nstderr:\n${errors}")
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
