# Release packages of one architecture: the stripped program folder as a zip, and
# TarnockSetup.exe, a small program of our own that carries the Windows Installer package
# (built by wixl from tools/package/Tarnock.wxs) and hands it to msiexec.
#
#   package/<version>/Tarnock/           the stripped program folder
#   package/<version>/Tarnock.msi        the installer package
#   package/<version>/TarnockSetup.exe   the setup program
#   package/Tarnock-<version>-<arch>.zip the program folder for unpacking anywhere
#
# The upgrade code is the package family: it never changes, so each version replaces the
# installed one in place. Both architectures share it: one Tarnock per machine.
set(TARNOCK_UPGRADE_CODE "7ED9CF3E-D198-4F80-BFB4-B0DC7418B149")
set(TARNOCK_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TARNOCK_PACKAGE_ARCH x64)
else()
  set(TARNOCK_PACKAGE_ARCH x86)
endif()

find_program(TARNOCK_WIXL wixl)
find_program(TARNOCK_MSIBUILD msibuild)
find_program(TARNOCK_ZIP zip)
if(NOT TARNOCK_WIXL OR NOT TARNOCK_MSIBUILD OR NOT TARNOCK_ZIP OR NOT CMAKE_STRIP OR NOT TARGET Tarnock)
  message(FATAL_ERROR "wixl, msibuild, zip or strip missing: run tools/setup.sh")
endif()

# Every binary of a release carries the release's version: the reporting library gets one
# here when it brings no resource script of its own.
if(TARGET OlmaticPost)
  get_target_property(olmaticpost_sources OlmaticPost SOURCES)
  list(FILTER olmaticpost_sources INCLUDE REGEX "\\.rc$")
  if(NOT olmaticpost_sources)
    target_sources(OlmaticPost PRIVATE "${CMAKE_SOURCE_DIR}/tools/package/OlmaticPostVersion.rc")
    target_compile_definitions(OlmaticPost PRIVATE
      $<$<COMPILE_LANGUAGE:RC>:TARNOCK_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
      $<$<COMPILE_LANGUAGE:RC>:TARNOCK_VERSION_MINOR=${PROJECT_VERSION_MINOR}>
      $<$<COMPILE_LANGUAGE:RC>:TARNOCK_VERSION_PATCH=${PROJECT_VERSION_PATCH}>
      $<$<COMPILE_LANGUAGE:RC>:TARNOCK_VERSION_TWEAK=${PROJECT_VERSION_TWEAK}>)
  endif()
endif()

# The parts of the setup program that do not change with the version.
add_library(tarnock_setup_options STATIC "${CMAKE_SOURCE_DIR}/setup/SetupOptions.cpp")
target_include_directories(tarnock_setup_options PUBLIC "${CMAKE_SOURCE_DIR}")
target_compile_options(tarnock_setup_options PRIVATE ${TARNOCK_WARNINGS})

# tarnock_setup_variant(NAME VERSION TARNOCK_TARGET OUT_DIR [ALL])
# Stages the program folder with the given Tarnock.exe, builds its package and the setup
# program NAME that carries it (file TarnockSetup.exe in OUT_DIR).
function(tarnock_setup_variant name version tarnock_target out_dir)
  string(REPLACE "." ";" parts "${version}")
  list(GET parts 0 major)
  list(GET parts 1 minor)
  list(GET parts 2 patch)
  list(GET parts 3 tweak)

  set(update_file -)
  set(update_target)
  if(TARGET TarnockUpdate)
    set(update_file "$<TARGET_FILE:TarnockUpdate>")
    set(update_target TarnockUpdate)
  endif()
  set(post_file -)
  set(post_target)
  if(TARGET OlmaticPost)
    set(post_file "$<TARGET_FILE:OlmaticPost>")
    set(post_target OlmaticPost)
  endif()

  set(msi "${out_dir}/Tarnock.msi")
  set(script "${CMAKE_SOURCE_DIR}/tools/package/make-package.sh")
  add_custom_command(OUTPUT "${msi}"
    COMMAND "${script}" "${out_dir}" "${version}" ${TARNOCK_PACKAGE_ARCH} "${CMAKE_STRIP}"
            ${TARNOCK_UPGRADE_CODE} "${TARNOCK_ART_DIR}/tarnock.ico" "${TARNOCK_KELVO_DAT}"
            "$<TARGET_FILE:${tarnock_target}>" "${update_file}" "${post_file}"
    DEPENDS "${script}" "${CMAKE_SOURCE_DIR}/tools/package/Tarnock.wxs" "${TARNOCK_KELVO_DAT}" tarnock_art
            ${tarnock_target} ${update_target} ${post_target}
    COMMENT "Packaging Tarnock ${version} (${TARNOCK_PACKAGE_ARCH})"
    VERBATIM)

  # A resource script of this variant, so that its package is the one it embeds.
  set(rc "${out_dir}/TarnockSetupPackage.rc")
  file(WRITE "${rc}.in" "#include \"TarnockSetup.rc\"\n")
  configure_file("${rc}.in" "${rc}" COPYONLY)
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS
    "${msi};${CMAKE_SOURCE_DIR}/setup/TarnockSetup.rc;${CMAKE_SOURCE_DIR}/setup/TarnockSetup.manifest")

  set(all_flag EXCLUDE_FROM_ALL)
  if("ALL" IN_LIST ARGN)
    set(all_flag)
  endif()
  add_executable(${name} WIN32 ${all_flag} "${CMAKE_SOURCE_DIR}/setup/SetupMain.cpp" "${rc}")
  target_include_directories(${name} PRIVATE "${out_dir}" "${CMAKE_SOURCE_DIR}/setup")
  target_compile_options(${name} PRIVATE ${TARNOCK_WARNINGS})
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE
    TARNOCK_UPGRADE_CODE=L"{${TARNOCK_UPGRADE_CODE}}" TARNOCK_SETUP_VERSION=L"${version}"
    TARNOCK_VERSION_MAJOR=${major} TARNOCK_VERSION_MINOR=${minor} TARNOCK_VERSION_PATCH=${patch}
    TARNOCK_VERSION_TWEAK=${tweak})
  target_link_options(${name} PRIVATE -municode -s)
  target_link_libraries(${name} PRIVATE tarnock_setup_options tarnock_base)
  set_target_properties(${name} PROPERTIES OUTPUT_NAME TarnockSetup RUNTIME_OUTPUT_DIRECTORY "${out_dir}")
endfunction()

set(TARNOCK_RELEASE_VERSION "${PROJECT_VERSION}")
set(TARNOCK_RELEASE_DIR "${TARNOCK_PACKAGE_DIR}/${TARNOCK_RELEASE_VERSION}")
set(TARNOCK_RELEASE_ZIP "${TARNOCK_PACKAGE_DIR}/Tarnock-${TARNOCK_RELEASE_VERSION}-${TARNOCK_PACKAGE_ARCH}.zip")
tarnock_setup_variant(TarnockSetup "${TARNOCK_RELEASE_VERSION}" Tarnock "${TARNOCK_RELEASE_DIR}" ALL)

add_custom_command(OUTPUT "${TARNOCK_RELEASE_ZIP}"
  COMMAND ${CMAKE_COMMAND} -E rm -f "${TARNOCK_RELEASE_ZIP}"
  COMMAND "${TARNOCK_ZIP}" -q -r -X "${TARNOCK_RELEASE_ZIP}" Tarnock
  WORKING_DIRECTORY "${TARNOCK_RELEASE_DIR}"
  DEPENDS "${TARNOCK_RELEASE_DIR}/Tarnock.msi"
  COMMENT "Zipping the program folder of Tarnock ${TARNOCK_RELEASE_VERSION} (${TARNOCK_PACKAGE_ARCH})"
  VERBATIM)
add_custom_target(release ALL DEPENDS "${TARNOCK_RELEASE_ZIP}" TarnockSetup)
