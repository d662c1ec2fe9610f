# The skins, button strips and icons are rendered at build time by tools/art/render_art.py
# (Pillow and the Nanum fonts) into ${CMAKE_BINARY_DIR}/art; the .rc files name them as
# "art/<file>". Every target that compiles an .rc file gets the folder on its resource
# include path and waits for the art, and its resources are rebuilt when the art changes.

set(TARNOCK_ART_DIR "${CMAKE_BINARY_DIR}/art")
set(TARNOCK_ART_SCRIPT "${CMAKE_SOURCE_DIR}/tools/art/render_art.py")
# The geometry the art is drawn for: the pixel constants the dialogs compile with and the
# dialog templates (tools/art/geometry.py reads them for the renderer and the check).
set(TARNOCK_ART_GEOMETRY "${CMAKE_SOURCE_DIR}/tools/art/geometry.py" "${CMAKE_SOURCE_DIR}/resources/ArtGeometry.h"
    "${CMAKE_SOURCE_DIR}/resources/main.rc" "${CMAKE_SOURCE_DIR}/updater/TarnockUpdate.rc")
set(TARNOCK_ART_FONTS "/usr/share/fonts/truetype/nanum" CACHE PATH "Folder holding the Nanum fonts for the art")

# A Python that has Pillow: the system one first, since a user's own Python may lack it.
if(NOT TARNOCK_ART_PYTHON)
  find_program(_tarnock_python_candidates_system NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
  find_program(_tarnock_python_candidates_any NAMES python3)
  foreach(candidate IN ITEMS "${_tarnock_python_candidates_system}" "${_tarnock_python_candidates_any}")
    if(candidate)
      execute_process(COMMAND "${candidate}" -c "import PIL.ImageFont" RESULT_VARIABLE _tarnock_pil_missing
                      OUTPUT_QUIET ERROR_QUIET)
      if(_tarnock_pil_missing EQUAL 0)
        set(TARNOCK_ART_PYTHON "${candidate}" CACHE FILEPATH "Python 3 with Pillow, renders the art")
        break()
      endif()
    endif()
  endforeach()
endif()
if(NOT TARNOCK_ART_PYTHON)
  message(FATAL_ERROR "No Python 3 with Pillow found for the art: run tools/setup.sh (python3-pil)")
endif()

set(TARNOCK_ART_FILES
  background.bmp spyware.bmp toolbar.bmp messenger.bmp p2p.bmp allprograms.bmp bho.bmp startup.bmp
  activex.bmp copyright.bmp remove.bmp search.bmp info.bmp exit.bmp loading.bmp help.bmp header.bmp
  updater.bmp tarnock.ico info.ico menu.ico website.ico update.ico style.ico program.ico)
list(TRANSFORM TARNOCK_ART_FILES PREPEND "${TARNOCK_ART_DIR}/" OUTPUT_VARIABLE TARNOCK_ART_OUTPUTS)
set(TARNOCK_ART_SHEET "${TARNOCK_ART_DIR}/contact-sheet.png")

# The faces the script draws with: a font update renders the art again.
set(TARNOCK_ART_FONT_FILES NanumGothic.ttf NanumGothicBold.ttf NanumSquareB.ttf)
list(TRANSFORM TARNOCK_ART_FONT_FILES PREPEND "${TARNOCK_ART_FONTS}/")

add_custom_command(OUTPUT ${TARNOCK_ART_OUTPUTS} "${TARNOCK_ART_SHEET}"
  COMMAND "${TARNOCK_ART_PYTHON}" "${TARNOCK_ART_SCRIPT}" --out "${TARNOCK_ART_DIR}"
          --fonts "${TARNOCK_ART_FONTS}" --contact-sheet "${TARNOCK_ART_SHEET}"
  DEPENDS "${TARNOCK_ART_SCRIPT}" ${TARNOCK_ART_GEOMETRY} ${TARNOCK_ART_FONT_FILES}
  COMMENT "Rendering the skins, buttons and icons"
  VERBATIM)
add_custom_target(tarnock_art ALL DEPENDS ${TARNOCK_ART_OUTPUTS} "${TARNOCK_ART_SHEET}")

# Runs once every target of the project exists (end of the top directory).
function(tarnock_art_attach_all)
  set(dirs "${CMAKE_SOURCE_DIR}")
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
    get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY|STATIC_LIBRARY|OBJECT_LIBRARY)$")
        get_target_property(sources ${target} SOURCES)
        set(rc_sources "${sources}")
        list(FILTER rc_sources INCLUDE REGEX "\\.rc$")
        if(rc_sources)
          add_dependencies(${target} tarnock_art)
          target_include_directories(${target} PRIVATE "$<$<COMPILE_LANGUAGE:RC>:${CMAKE_BINARY_DIR}>")
          get_target_property(source_dir ${target} SOURCE_DIR)
          foreach(rc IN LISTS rc_sources)
            set_property(SOURCE "${rc}" DIRECTORY "${source_dir}" APPEND PROPERTY OBJECT_DEPENDS ${TARNOCK_ART_OUTPUTS})
          endforeach()
        endif()
      endif()
    endforeach()
  endwhile()
endfunction()
cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL tarnock_art_attach_all)

# The rendered art keeps the rules the drawing code relies on (frames, exact magenta, sizes).
if(TARNOCK_BUILD_TESTS)
  enable_testing()
  add_test(NAME art.check COMMAND "${TARNOCK_ART_PYTHON}" "${CMAKE_SOURCE_DIR}/tools/art/check_art.py" "${TARNOCK_ART_DIR}")
  set_tests_properties(art.check PROPERTIES TIMEOUT 60)
endif()
