# The updater's tests: its engine against a local update server, and the real
# TarnockUpdate.exe driven from a test program. Fixtures: a stand-in setup program signed
# with the build's signing key (and with a second key), a stand-in Tarnock.exe with a version.
set(UPDATER_FIXTURE_DIR "${CMAKE_BINARY_DIR}/tests/updater")
set(UPDATE_SERVER_ROOT "${CMAKE_BINARY_DIR}/tests/update-server")
file(MAKE_DIRECTORY "${UPDATER_FIXTURE_DIR}")

add_executable(updater_setup_standin WIN32 updater_fixtures/setup_standin.c)
set_target_properties(updater_setup_standin PROPERTIES OUTPUT_NAME setup_standin
                      RUNTIME_OUTPUT_DIRECTORY "${UPDATER_FIXTURE_DIR}")
add_executable(updater_tarnock_standin WIN32 updater_fixtures/tarnock_standin.c updater_fixtures/tarnock_standin.rc)
set_target_properties(updater_tarnock_standin PROPERTIES OUTPUT_NAME Tarnock
                      RUNTIME_OUTPUT_DIRECTORY "${UPDATER_FIXTURE_DIR}")

# A second key: a setup signed with it must be refused like any other bad signature.
set(UPDATER_OTHER_KEY "${UPDATER_FIXTURE_DIR}/other-key.pem")
if(NOT EXISTS "${UPDATER_OTHER_KEY}")
  execute_process(COMMAND "${TARNOCK_OPENSSL}" ecparam -name prime256v1 -genkey -noout -out "${UPDATER_OTHER_KEY}")
endif()
add_custom_command(OUTPUT "${UPDATER_FIXTURE_DIR}/setup_standin.sig" "${UPDATER_FIXTURE_DIR}/setup_standin.other.sig"
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/updater_fixtures/sign-to-file.sh" "${TARNOCK_SIGNING_KEY_FILE}"
          "$<TARGET_FILE:updater_setup_standin>" "${UPDATER_FIXTURE_DIR}/setup_standin.sig"
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/updater_fixtures/sign-to-file.sh" "${UPDATER_OTHER_KEY}"
          "$<TARGET_FILE:updater_setup_standin>" "${UPDATER_FIXTURE_DIR}/setup_standin.other.sig"
  DEPENDS updater_setup_standin "${CMAKE_SOURCE_DIR}/tools/sign-release.sh"
          "${CMAKE_CURRENT_SOURCE_DIR}/updater_fixtures/sign-to-file.sh" "${TARNOCK_SIGNING_KEY_FILE}"
  COMMENT "Signing the stand-in setup program" VERBATIM)
add_custom_target(updater_fixtures DEPENDS "${UPDATER_FIXTURE_DIR}/setup_standin.sig"
                  updater_setup_standin updater_tarnock_standin)

foreach(test IN ITEMS updater_engine_test updater_ui_test)
  if(TARGET ${test})
    target_link_libraries(${test} PRIVATE tarnock_updater)
    add_dependencies(${test} updater_fixtures TarnockUpdate)
    target_compile_definitions(${test} PRIVATE
      TARNOCK_UPDATER_FIXTURES="${UPDATER_FIXTURE_DIR}" TARNOCK_UPDATE_SERVER_ROOT="${UPDATE_SERVER_ROOT}"
      TARNOCK_UPDATER_EXE="$<TARGET_FILE:TarnockUpdate>")
  endif()
endforeach()

# The local update server lives for one test run.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME updater.server.start
         COMMAND ${Python3_EXECUTABLE} "${CMAKE_CURRENT_SOURCE_DIR}/support/update_server.py" start "${UPDATE_SERVER_ROOT}")
set_tests_properties(updater.server.start PROPERTIES FIXTURES_SETUP updater_server TIMEOUT 30)
add_test(NAME updater.server.stop
         COMMAND ${Python3_EXECUTABLE} "${CMAKE_CURRENT_SOURCE_DIR}/support/update_server.py" stop "${UPDATE_SERVER_ROOT}")
set_tests_properties(updater.server.stop PROPERTIES FIXTURES_CLEANUP updater_server TIMEOUT 30)

# The discovered test cases need the server too: after their discovery lists are read,
# add the fixture to each of them.
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/updater_fixture_properties.cmake"
"foreach(list IN ITEMS updater_engine_test_TESTS updater_ui_test_TESTS)
  if(DEFINED \${list})
    foreach(t IN LISTS \${list})
      set_tests_properties(\"\${t}\" PROPERTIES FIXTURES_REQUIRED \"wine;updater_server\")
    endforeach()
  endif()
endforeach()
")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${CMAKE_CURRENT_BINARY_DIR}/updater_fixture_properties.cmake")
