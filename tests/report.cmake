# The reporting library's tests: the test program imports OlmaticPost.dll from a folder of
# its own, where the test writes the Tarnock.ini the library reads.
target_link_libraries(test_support PUBLIC ws2_32)

set(REPORT_TEST_DIR "${CMAKE_BINARY_DIR}/tests/report")
target_link_libraries(report_post_test PRIVATE OlmaticPost)
set_target_properties(report_post_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${REPORT_TEST_DIR}")
add_custom_command(TARGET report_post_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:OlmaticPost>" "${REPORT_TEST_DIR}/"
  VERBATIM)

# The backup folder command: a recorder stands in for the file manager, and the real
# program is driven from the end-to-end stage.
add_executable(backup_open_recorder WIN32 backup_open_recorder.cpp)
target_compile_options(backup_open_recorder PRIVATE ${TARNOCK_WARNINGS} -municode)
target_link_options(backup_open_recorder PRIVATE -municode)
set_target_properties(backup_open_recorder PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
add_dependencies(backup_folder_test backup_open_recorder e2e_stage)
target_compile_definitions(backup_folder_test PRIVATE TARNOCK_E2E_STAGE_DIR="${E2E_STAGE_DIR}")
