# Tests of the skinned controls, the picture loader and the browser dialog: fixture images
# drawn at build time, a stand-in web browser control and a recorder for web addresses.
find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
set(UI_IMAGE_DIR "${CMAKE_BINARY_DIR}/tests/ui_images")
set(UI_FIXTURE_DIR "${CMAKE_CURRENT_SOURCE_DIR}/ui_fixtures")

# Four solid quadrants (red, green / blue, yellow) in each format, a splash-sized BMP and a
# strip of four frames, each half magenta, one pixel wider than four frames.
set(UI_IMAGES quad.bmp quad.jpg quad.gif splash.bmp strip.bmp)
list(TRANSFORM UI_IMAGES PREPEND "${UI_IMAGE_DIR}/" OUTPUT_VARIABLE UI_IMAGE_FILES)
add_custom_command(OUTPUT ${UI_IMAGE_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory "${UI_IMAGE_DIR}"
  COMMAND ${IMAGEMAGICK_CONVERT} -size 20x10 xc:red xc:lime +append "(" -size 20x10 xc:blue xc:yellow +append ")"
          -append -type TrueColor "BMP3:${UI_IMAGE_DIR}/quad.bmp"
  COMMAND ${IMAGEMAGICK_CONVERT} -size 32x16 xc:red xc:lime +append "(" -size 32x16 xc:blue xc:yellow +append ")"
          -append -quality 100 "${UI_IMAGE_DIR}/quad.jpg"
  COMMAND ${IMAGEMAGICK_CONVERT} -size 15x7 xc:red xc:lime +append "(" -size 15x7 xc:blue xc:yellow +append ")"
          -append "${UI_IMAGE_DIR}/quad.gif"
  COMMAND ${IMAGEMAGICK_CONVERT} -size 223x81 gradient:navy-skyblue -type TrueColor "BMP3:${UI_IMAGE_DIR}/splash.bmp"
  COMMAND ${IMAGEMAGICK_CONVERT} -size 4x6 xc:magenta xc:red xc:magenta xc:lime xc:magenta xc:blue xc:magenta
          xc:yellow -size 1x6 xc:white +append -type TrueColor "BMP3:${UI_IMAGE_DIR}/strip.bmp"
  COMMENT "Drawing the picture fixtures"
  VERBATIM)
add_custom_target(ui_images DEPENDS ${UI_IMAGE_FILES})

if(TARGET ui_controls_test)
  target_sources(ui_controls_test PRIVATE "${UI_FIXTURE_DIR}/pictures.rc")
  target_include_directories(ui_controls_test PRIVATE "${UI_FIXTURE_DIR}" "${UI_IMAGE_DIR}")
  set_source_files_properties("${UI_FIXTURE_DIR}/pictures.rc" PROPERTIES OBJECT_DEPENDS "${UI_IMAGE_FILES}")
  add_dependencies(ui_controls_test ui_images)
  target_compile_definitions(ui_controls_test PRIVATE TARNOCK_UI_IMAGE_DIR="${UI_IMAGE_DIR}")
endif()

# A stand-in for the system's web browser control and HTML engine, registered in the test
# prefix by the tests that need it; it records what the browser dialog asks of it.
add_library(ui_browser_standin SHARED "${UI_FIXTURE_DIR}/browser_standin.c" "${UI_FIXTURE_DIR}/browser_standin.def")
target_compile_options(ui_browser_standin PRIVATE -Wall -Wextra -Werror -Wno-cast-function-type)
target_link_libraries(ui_browser_standin PRIVATE ole32 oleaut32 uuid user32 gdi32)
set_target_properties(ui_browser_standin PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")

# Registered as the open command of the web protocols: writes its command line to a file.
add_executable(ui_url_recorder WIN32 "${UI_FIXTURE_DIR}/url_recorder.cpp")
target_compile_options(ui_url_recorder PRIVATE ${TARNOCK_WARNINGS})
set_target_properties(ui_url_recorder PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")

if(TARGET ui_e2e_test)
  add_dependencies(ui_e2e_test e2e_stage ui_browser_standin ui_url_recorder)
  target_compile_definitions(ui_e2e_test PRIVATE TARNOCK_E2E_STAGE_DIR="${E2E_STAGE_DIR}")
endif()
