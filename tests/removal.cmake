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

# Until the tree has its registry backup writer, the tests link a stand-in.
if(NOT EXISTS "${CMAKE_SOURCE_DIR}/base/RegistryBackup.cpp")
  target_sources(tarnock_base PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/removal_fixtures/backup_standin.cpp")
endif()
