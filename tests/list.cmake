# The result-list test programs need the list's resources and their host dialog.
foreach(list_test_program IN ITEMS list_ui_test list_parts_test)
  if(TARGET ${list_test_program})
    target_sources(${list_test_program} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/list_test.rc")
    target_include_directories(${list_test_program} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
endforeach()
