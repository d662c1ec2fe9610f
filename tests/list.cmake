# The result-list test programs need the list's resources and their host dialog.
foreach(list_test_program IN ITEMS list_ui_test list_parts_test)
  if(TARGET ${list_test_program})
    target_sources(${list_test_program} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/list_test.rc")
    target_include_directories(${list_test_program} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
endforeach()

# The end-to-end list tests drive the staged Tarnock.exe (tests/app.cmake).
if(TARGET list_e2e_test AND TARGET e2e_stage)
  add_dependencies(list_e2e_test e2e_stage e2e_menu_probe)
  target_compile_definitions(list_e2e_test PRIVATE TARNOCK_E2E_STAGE_DIR="${E2E_STAGE_DIR}")
endif()
