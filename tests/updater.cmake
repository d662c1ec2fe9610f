# The updater's tests: its engine against a local update server, and the real
# TarnockUpdate.exe driven from a test program. Fixtures: a stand-in setup program signed
# with the build's signing key in several offers (and with a second key), a stand-in Tarnock.exe
# with a version.
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
# Signed offers of the stand-in (tests/support/UpdateServer.h): NAME KEY VERSION ARCH [SIZE].
set(updater_offers
  "good|${TARNOCK_SIGNING_KEY_FILE}|1.5.0.0|x64"
  "older|${TARNOCK_SIGNING_KEY_FILE}|1.3.9.9|x64"
  "equal|${TARNOCK_SIGNING_KEY_FILE}|1.4.0.0|x64"
  "other-arch|${TARNOCK_SIGNING_KEY_FILE}|1.5.0.0|x86"
  "huge|${TARNOCK_SIGNING_KEY_FILE}|1.5.0.0|x64|1099511627776"
  "size-larger|${TARNOCK_SIGNING_KEY_FILE}|1.5.0.0|x64|+1"
  "size-smaller|${TARNOCK_SIGNING_KEY_FILE}|1.5.0.0|x64|-1"
  "other-key|${UPDATER_OTHER_KEY}|1.5.0.0|x64")
set(updater_offer_files)
set(updater_offer_commands)
foreach(offer IN LISTS updater_offers)
  string(REPLACE "|" ";" fields "${offer}")
  list(GET fields 0 offer_name)
  list(REMOVE_AT fields 0)
  set(out "${UPDATER_FIXTURE_DIR}/offer-${offer_name}.txt")
  list(GET fields 0 offer_key)
  list(REMOVE_AT fields 0)
  list(APPEND updater_offer_files "${out}")
  list(APPEND updater_offer_commands COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/updater_fixtures/sign-to-file.sh"
       "${offer_key}" "$<TARGET_FILE:updater_setup_standin>" "${out}" ${fields})
endforeach()
add_custom_command(OUTPUT ${updater_offer_files}
  ${updater_offer_commands}
  DEPENDS updater_setup_standin "${CMAKE_SOURCE_DIR}/tools/sign-release.sh"
          "${CMAKE_CURRENT_SOURCE_DIR}/updater_fixtures/sign-to-file.sh" "${TARNOCK_SIGNING_KEY_FILE}"
  COMMENT "Signing offers of the stand-in setup program" VERBATIM)
add_custom_target(updater_fixtures DEPENDS ${updater_offer_files} updater_setup_standin updater_tarnock_standin)

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

# A build to ship never falls back to a development key: configuring it without a signing key
# fails, and says why.
add_test(NAME updater.release_build_needs_signing_key
  COMMAND bash -c "set -e; t=$(mktemp -d); trap 'rm -rf $t' EXIT; cd $t
    if \"$1\" -DTARNOCK_RELEASE=ON -P \"$2\" > out.txt 2>&1; then echo 'configured without a key'; exit 1; fi
    grep -q 'no TARNOCK_SIGNING_KEY' out.txt
    test ! -e signing/dev-key.pem"
  check "${CMAKE_COMMAND}" "${CMAKE_SOURCE_DIR}/cmake/Signing.cmake")
set_tests_properties(updater.release_build_needs_signing_key PROPERTIES TIMEOUT 30)
