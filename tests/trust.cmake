# Trust-boundary tests: a stand-in program that records which process started it, and a
# stand-in add-on whose loading leaves a mark.
add_executable(trust_fixture_started_by removal_fixtures/started_by.c)
set_target_properties(trust_fixture_started_by PROPERTIES OUTPUT_NAME started_by
                      RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests/removal_fixtures")
foreach(test desktop_shell_test user_command_test)
  if(TARGET ${test})
    add_dependencies(${test} trust_fixture_started_by)
  endif()
endforeach()
