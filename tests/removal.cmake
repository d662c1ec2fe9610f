# Removal tests: real programs built here (uninstallers, running processes) and a stand-in
# for the system's downloaded-program cache library, copied into the prefix's system folder
# by the tests that need it.
set(REMOVAL_FIXTURE_DIR "${CMAKE_BINARY_DIR}/tests/removal_fixtures")

add_executable(removal_fixture_uninstaller removal_fixtures/uninstaller.c)
target_link_libraries(removal_fixture_uninstaller PRIVATE advapi32)
add_executable(removal_fixture_process removal_fixtures/process.c)
target_link_libraries(removal_fixture_process PRIVATE user32)
add_library(removal_fixture_occache SHARED removal_fixtures/occache.c)
target_link_libraries(removal_fixture_occache PRIVATE advapi32)
set_target_properties(removal_fixture_uninstaller PROPERTIES OUTPUT_NAME uninstaller RUNTIME_OUTPUT_DIRECTORY "${REMOVAL_FIXTURE_DIR}")
set_target_properties(removal_fixture_process PROPERTIES OUTPUT_NAME process RUNTIME_OUTPUT_DIRECTORY "${REMOVAL_FIXTURE_DIR}")
set_target_properties(removal_fixture_occache PROPERTIES OUTPUT_NAME OCCACHE PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${REMOVAL_FIXTURE_DIR}")

foreach(test removal_engine_test removal_process_test)
  if(TARGET ${test})
    add_dependencies(${test} removal_fixture_uninstaller removal_fixture_process removal_fixture_occache)
    target_compile_definitions(${test} PRIVATE TARNOCK_REMOVAL_FIXTURES="${REMOVAL_FIXTURE_DIR}")
  endif()
endforeach()

# End to end on a demo machine of its own (the removals change it).
set(REMOVAL_DEMO_WINEPREFIX "${CMAKE_BINARY_DIR}/removal-demo-wine")
function(removal_demo_runner)
  set(TARNOCK_WINEPREFIX "${REMOVAL_DEMO_WINEPREFIX}")
  configure_file("${CMAKE_SOURCE_DIR}/tools/wine-run.sh.in" "${CMAKE_BINARY_DIR}/removal-demo-wine-run.sh"
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
                 @ONLY)
endfunction()
removal_demo_runner()
add_test(NAME removal_demo.setup COMMAND "${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh" fresh "${REMOVAL_DEMO_WINEPREFIX}"
         --populate "${CMAKE_SOURCE_DIR}/tools/demo-machine.sh")
set_tests_properties(removal_demo.setup PROPERTIES FIXTURES_SETUP removal_demo TIMEOUT 300 RUN_SERIAL TRUE)
add_test(NAME removal_demo.cleanup COMMAND "${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh" stop "${REMOVAL_DEMO_WINEPREFIX}")
set_tests_properties(removal_demo.cleanup PROPERTIES FIXTURES_CLEANUP removal_demo TIMEOUT 60 RUN_SERIAL TRUE)

add_executable(removal_demo_e2e removal_demo_e2e.cpp)
target_link_libraries(removal_demo_e2e PRIVATE test_support GTest::gtest_main)
target_compile_options(removal_demo_e2e PRIVATE ${TARNOCK_WARNINGS})
target_compile_definitions(removal_demo_e2e PRIVATE TARNOCK_E2E_STAGE_DIR="${E2E_STAGE_DIR}"
                           TARNOCK_REMOVAL_FIXTURES="${REMOVAL_FIXTURE_DIR}")
set_target_properties(removal_demo_e2e PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests"
  CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/removal-demo-wine-run.sh")
add_dependencies(removal_demo_e2e e2e_stage removal_fixture_uninstaller removal_fixture_process removal_fixture_occache)
gtest_discover_tests(removal_demo_e2e
  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/tests"
  DISCOVERY_TIMEOUT 240
  PROPERTIES FIXTURES_REQUIRED removal_demo TIMEOUT 180 RUN_SERIAL TRUE)

# The shutdown test of the main program uses a real slow uninstaller.
if(TARGET e2e_app_test)
  add_dependencies(e2e_app_test removal_fixture_uninstaller)
  target_compile_definitions(e2e_app_test PRIVATE TARNOCK_REMOVAL_FIXTURES="${REMOVAL_FIXTURE_DIR}")
endif()

# The measuring program of the removal wait (not a test): tools/bench/removal_wait_bench.cpp.
add_executable(removal_wait_bench "${CMAKE_SOURCE_DIR}/tools/bench/removal_wait_bench.cpp")
target_link_libraries(removal_wait_bench PRIVATE tarnock_core)
target_compile_options(removal_wait_bench PRIVATE ${TARNOCK_WARNINGS})
add_dependencies(removal_wait_bench removal_fixture_uninstaller)
