# The program binds the library (file name LIBRARY) at run time only, and
# finds it beside itself.
execute_process(COMMAND ${READELF} -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read ${PROGRAM}")
endif()
if(dynamic MATCHES "libDravik")
  message(FATAL_ERROR "${PROGRAM} is linked against libDravik.so")
endif()
get_filename_component(folder ${PROGRAM} DIRECTORY)
if(NOT EXISTS ${folder}/${LIBRARY})
  message(FATAL_ERROR "no ${LIBRARY} beside ${PROGRAM}")
endif()
