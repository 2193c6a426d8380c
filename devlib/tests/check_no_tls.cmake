# Fails when one of FILES (';'-separated) has a TLS segment: the leak checker
# of GCC 12's sanitizer runtime misreads the block of a library loaded at run
# time, and crashes the program that loaded it.
foreach(file IN LISTS FILES)
  execute_process(COMMAND ${READELF} -lW ${file} OUTPUT_VARIABLE headers RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "readelf failed on ${file}")
  endif()
  if(headers MATCHES "\n +TLS ")
    message(FATAL_ERROR "${file} has a TLS segment")
  endif()
endforeach()
