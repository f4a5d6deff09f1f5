# With Ninja, the moc step of a target only watches the files it scanned last
# time, so a Q_OBJECT class in a newly globbed file would get no moc code until
# a clean build. When a target's file list differs from the one seen at the
# last configure, drop the moc step's timestamp so that it runs again.
function(ravlin_rerun_moc_when_files_change target sources)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.autogen-sources)
  set(previous "")
  if(EXISTS ${list_file})
    file(READ ${list_file} previous)
  endif()
  list(SORT sources)
  string(JOIN "\n" current ${sources})
  if(NOT current STREQUAL previous)
    file(WRITE ${list_file} "${current}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()
