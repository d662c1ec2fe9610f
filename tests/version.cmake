# Fixture libraries for the version-information tests: each carries one kind of version
# resource (or none), made with windres at build time.
set(VERSION_FIXTURE_DIR "${CMAKE_BINARY_DIR}/tests/fixtures")
set(VERSION_RC_DIR "${CMAKE_BINARY_DIR}/tests/fixture-rc")
string(REPEAT "C" 600 LONG_COMPANY)

# name | file version | translation block | translation table | company name
set(VERSION_FIXTURES
  "one_translation|1,4,0,0|041204B0|0x412, 1200|Olmatic Software"
  "second_translation|3,0,0,0|041203B5|0x409, 1252, 0x412, 949|Second Only Inc."
  "long_company|2,1,0,5|040904B0|0x409, 1200|${LONG_COMPANY}"
  "zero_version|0,0,0,0|040904B0|0x409, 1200|Zero Corp")

foreach(fixture IN LISTS VERSION_FIXTURES)
  string(REPLACE "|" ";" fields "${fixture}")
  list(GET fields 0 name)
  list(GET fields 1 version)
  list(GET fields 2 block)
  list(GET fields 3 table)
  list(GET fields 4 company)
  file(WRITE "${VERSION_RC_DIR}/${name}.rc"
"#include <winver.h>
1 VERSIONINFO
FILEVERSION ${version}
PRODUCTVERSION ${version}
FILETYPE VFT_DLL
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"${block}\"
    BEGIN
      VALUE \"CompanyName\", \"${company}\"
      VALUE \"FileDescription\", \"${name} fixture\"
      VALUE \"ProductName\", \"Tarnock test fixture\"
    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", ${table}
  END
END
")
  add_library(fixture_${name} SHARED "${CMAKE_CURRENT_SOURCE_DIR}/fixtures/version/stub.c" "${VERSION_RC_DIR}/${name}.rc")
  set_target_properties(fixture_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY "${VERSION_FIXTURE_DIR}")
  add_dependencies(fileversion_test fixture_${name})
endforeach()

add_library(fixture_no_version SHARED "${CMAKE_CURRENT_SOURCE_DIR}/fixtures/version/stub.c")
set_target_properties(fixture_no_version PROPERTIES OUTPUT_NAME no_version PREFIX ""
                      RUNTIME_OUTPUT_DIRECTORY "${VERSION_FIXTURE_DIR}")
add_dependencies(fileversion_test fixture_no_version)
