# Tarnock.exe on the demo machine: a prefix of its own, filled by tools/demo-machine.sh
# (fixture demo), so the ordinary test prefix stays as clean as a fresh installation.
set(TARNOCK_DEMO_WINEPREFIX "${CMAKE_BINARY_DIR}/demo-test-wine")

# The same runner as wine-run.sh, on the demo prefix.
function(tarnock_demo_runner)
  set(TARNOCK_WINEPREFIX "${TARNOCK_DEMO_WINEPREFIX}")
  configure_file("${CMAKE_SOURCE_DIR}/tools/wine-run.sh.in" "${CMAKE_BINARY_DIR}/demo-wine-run.sh"
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
                 @ONLY)
endfunction()
tarnock_demo_runner()

add_test(NAME demo.setup COMMAND "${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh" fresh "${TARNOCK_DEMO_WINEPREFIX}"
         --populate "${CMAKE_SOURCE_DIR}/tools/demo-machine.sh")
set_tests_properties(demo.setup PROPERTIES FIXTURES_SETUP demo TIMEOUT 300 RUN_SERIAL TRUE)
add_test(NAME demo.cleanup COMMAND "${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh" stop "${TARNOCK_DEMO_WINEPREFIX}")
set_tests_properties(demo.cleanup PROPERTIES FIXTURES_CLEANUP demo TIMEOUT 60 RUN_SERIAL TRUE)

add_executable(e2e_demo_test e2e_demo.cpp)
target_link_libraries(e2e_demo_test PRIVATE test_support GTest::gtest_main)
target_compile_options(e2e_demo_test PRIVATE ${TARNOCK_WARNINGS})
target_compile_definitions(e2e_demo_test PRIVATE TARNOCK_E2E_STAGE_DIR="${E2E_STAGE_DIR}")
set_target_properties(e2e_demo_test PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests"
  CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/demo-wine-run.sh")
add_dependencies(e2e_demo_test e2e_stage)
gtest_discover_tests(e2e_demo_test
  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/tests"
  DISCOVERY_TIMEOUT 240
  PROPERTIES FIXTURES_REQUIRED demo TIMEOUT 180 RUN_SERIAL TRUE)
