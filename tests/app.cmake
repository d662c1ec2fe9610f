# End-to-end tests of Tarnock.exe: the real program is staged with kelvo.dat and a
# recording stand-in for TarnockUpdate.exe, then driven from a test program.
set(E2E_STAGE_DIR "${CMAKE_BINARY_DIR}/tests/e2e-app")

target_link_libraries(test_support PUBLIC gdiplus psapi)

add_executable(e2e_updater_standin WIN32 e2e_updater_standin.cpp)
target_compile_options(e2e_updater_standin PRIVATE ${TARNOCK_WARNINGS})
set_target_properties(e2e_updater_standin PROPERTIES OUTPUT_NAME TarnockUpdate RUNTIME_OUTPUT_DIRECTORY "${E2E_STAGE_DIR}")

add_custom_target(e2e_stage
  COMMAND ${CMAKE_COMMAND} -E make_directory "${E2E_STAGE_DIR}"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:Tarnock>" "${E2E_STAGE_DIR}/Tarnock.exe"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TARNOCK_KELVO_DAT}" "${E2E_STAGE_DIR}/kelvo.dat"
  DEPENDS Tarnock kelvo_dat e2e_updater_standin
  COMMENT "Staging Tarnock.exe for the end-to-end tests")

tarnock_gtest(e2e_app_test SOURCES e2e_app.cpp TIMEOUT 300)
add_dependencies(e2e_app_test e2e_stage)
target_compile_definitions(e2e_app_test PRIVATE TARNOCK_E2E_STAGE_DIR="${E2E_STAGE_DIR}")

# Loaded into Tarnock by the driver to read its popup menus (menus are private to a process).
add_library(e2e_menu_probe SHARED e2e_menu_probe.cpp)
target_compile_options(e2e_menu_probe PRIVATE ${TARNOCK_WARNINGS})
set_target_properties(e2e_menu_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
add_dependencies(e2e_app_test e2e_menu_probe)
