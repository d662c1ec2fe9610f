# The reporting library's tests: the test program imports OlmaticPost.dll from a folder of
# its own, where the test writes the Tarnock.ini the library reads.
target_link_libraries(test_support PUBLIC ws2_32)

set(REPORT_TEST_DIR "${CMAKE_BINARY_DIR}/tests/report")
target_link_libraries(report_post_test PRIVATE OlmaticPost)
set_target_properties(report_post_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${REPORT_TEST_DIR}")
add_custom_command(TARGET report_post_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:OlmaticPost>" "${REPORT_TEST_DIR}/"
  VERBATIM)
