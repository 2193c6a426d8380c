# add_settings_variants(<target> <folder>): a target of every build that writes
# the tests' settings files (settings_variants.txt) into <folder>, again
# whenever examples/Default.tyv, the table or its writer changes.
function(add_settings_variants target folder)
  set(table ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/settings_variants.txt)
  set(writer ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/write_settings_variants.cmake)
  set(template ${PROJECT_SOURCE_DIR}/examples/Default.tyv)
  # A name added to the table is a new output.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(STRINGS ${table} rows ENCODING UTF-8 REGEX "^[a-z0-9-]+[ \t]")
  set(files)
  foreach(row IN LISTS rows)
    string(REGEX MATCH "^[a-z0-9-]+" name "${row}")
    list(APPEND files ${folder}/${name}.tyv)
  endforeach()
  list(REMOVE_DUPLICATES files)
  add_custom_command(OUTPUT ${files}
    COMMAND ${CMAKE_COMMAND} -DTABLE=${table} -DTEMPLATE=${template} -DFOLDER=${folder} -P ${writer}
    DEPENDS ${table} ${template} ${writer}
    COMMENT "Writing the tests' settings files into ${folder}" VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${files})
endfunction()
