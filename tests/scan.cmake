# Scanner tests: stand-in add-on servers with version resources, and the scan benchmark
# (an extra program, not a test).
set(SCAN_FIXTURE_DIR "${CMAKE_BINARY_DIR}/tests/scan_fixtures")
set(SCAN_RC_DIR "${CMAKE_BINARY_DIR}/tests/scan_fixture_rc")
string(REPEAT "L" 600 SCAN_LONG_COMPANY)

# name | defines | company | description (empty company: no version resource)
set(SCAN_ADDON_FIXTURES
  "addon_ok||Tnk Addon Corp|Tnk Addon Helper"
  "addon_fails|ADDON_RESULT=E_FAIL|Tnk Failing Corp|Tnk Failing Helper"
  "addon_noexport|ADDON_NO_EXPORT|Tnk Plain Corp|Tnk Plain Library"
  "addon_longcompany||${SCAN_LONG_COMPANY}|Tnk Long Company"
  "addon_noversion|||"
  "addon_marker|ADDON_LOAD_MARKER|Tnk Marker Corp|Tnk Marker Helper")

foreach(fixture IN LISTS SCAN_ADDON_FIXTURES)
  string(REPLACE "|" ";" fields "${fixture}")
  list(GET fields 0 name)
  list(GET fields 1 defines)
  list(GET fields 2 company)
  list(GET fields 3 description)
  set(sources "${CMAKE_CURRENT_SOURCE_DIR}/scan_fixtures/addon.c")
  if(company)
    file(WRITE "${SCAN_RC_DIR}/${name}.rc"
"#include <winver.h>
1 VERSIONINFO
FILEVERSION 1,0,0,0
PRODUCTVERSION 1,0,0,0
FILETYPE VFT_DLL
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"040904B0\"
    BEGIN
      VALUE \"CompanyName\", \"${company}\"
      VALUE \"FileDescription\", \"${description}\"
    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", 0x409, 1200
  END
END
")
    list(APPEND sources "${SCAN_RC_DIR}/${name}.rc")
  endif()
  add_library(scan_fixture_${name} SHARED ${sources})
  if(defines)
    target_compile_definitions(scan_fixture_${name} PRIVATE ${defines})
  endif()
  target_link_libraries(scan_fixture_${name} PRIVATE advapi32)
  set_target_properties(scan_fixture_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY "${SCAN_FIXTURE_DIR}")
  add_dependencies(scan_addon_test scan_fixture_${name})
  add_dependencies(scan_inventory_test scan_fixture_${name})
endforeach()

# The benchmark: times every category scan on a prepared prefix (tools/bench-scan.sh).
add_executable(scan_bench "${CMAKE_SOURCE_DIR}/tools/bench/scan_bench.cpp")
target_link_libraries(scan_bench PRIVATE tarnock_core)
target_compile_options(scan_bench PRIVATE ${TARNOCK_WARNINGS})
set_target_properties(scan_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tools")

# End to end: a fresh demo machine in a prefix of its own, every category compared with
# the expected tables (tools/demo-machine/expected).
add_test(NAME scan.demo_machine COMMAND "${CMAKE_SOURCE_DIR}/tools/demo-machine-check.sh" "${CMAKE_BINARY_DIR}")
set_tests_properties(scan.demo_machine PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
