# The setup program end to end: version N is installed, N+1 is offered by a local update
# server and installed through the updater, then everything is removed again.
# N+1 is Tarnock.exe linked once more from the same libraries with only its version
# resource changed, packaged like a release: no second build of the program.
if(NOT TARGET TarnockSetup)
  return()
endif()

math(EXPR setup_next_patch "${PROJECT_VERSION_PATCH} + 1")
set(SETUP_NEXT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${setup_next_patch}.0")
set(SETUP_NEXT_DIR "${CMAKE_BINARY_DIR}/tests/setup-next/${SETUP_NEXT_VERSION}")

get_target_property(setup_tarnock_sources Tarnock SOURCES)
set(setup_next_sources)
foreach(source IN LISTS setup_tarnock_sources)
  if(NOT IS_ABSOLUTE "${source}")
    set(source "${CMAKE_SOURCE_DIR}/${source}")
  endif()
  list(APPEND setup_next_sources "${source}")
endforeach()
get_target_property(setup_tarnock_libs Tarnock LINK_LIBRARIES)
get_target_property(setup_tarnock_options Tarnock COMPILE_OPTIONS)
get_target_property(setup_tarnock_defs Tarnock COMPILE_DEFINITIONS)
list(FILTER setup_tarnock_defs EXCLUDE REGEX "^TARNOCK_VERSION_")
add_executable(Tarnock_next WIN32 EXCLUDE_FROM_ALL ${setup_next_sources})
set_source_files_properties("${CMAKE_SOURCE_DIR}/resources/Tarnock.rc" PROPERTIES OBJECT_DEPENDS "${TARNOCK_RC_INPUTS}")
target_link_libraries(Tarnock_next PRIVATE ${setup_tarnock_libs})
target_compile_options(Tarnock_next PRIVATE ${setup_tarnock_options})
target_compile_definitions(Tarnock_next PRIVATE ${setup_tarnock_defs}
  TARNOCK_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} TARNOCK_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  TARNOCK_VERSION_PATCH=${setup_next_patch} TARNOCK_VERSION_TWEAK=0)
set_target_properties(Tarnock_next PROPERTIES OUTPUT_NAME Tarnock RUNTIME_OUTPUT_DIRECTORY "${SETUP_NEXT_DIR}/bin")

tarnock_setup_variant(TarnockSetup_next "${SETUP_NEXT_VERSION}" Tarnock_next "${SETUP_NEXT_DIR}")

# N+1 is signed like a release, with the build's key: the version page lines of its offer
# (version, architecture, size, hash and signature).
set(SETUP_NEXT_SIGNATURE "${SETUP_NEXT_DIR}/TarnockSetup.offer")
set(setup_signed_deps TarnockSetup_next)
if(DEFINED TARNOCK_SIGNING_KEY_FILE AND EXISTS "${CMAKE_SOURCE_DIR}/tools/sign-release.sh")
  add_custom_command(OUTPUT "${SETUP_NEXT_SIGNATURE}"
    COMMAND "${CMAKE_SOURCE_DIR}/tools/sign-release.sh" "${TARNOCK_SIGNING_KEY_FILE}"
            "$<TARGET_FILE:TarnockSetup_next>" "${SETUP_NEXT_VERSION}" "${TARNOCK_PACKAGE_ARCH}"
            > "${SETUP_NEXT_SIGNATURE}"
    DEPENDS TarnockSetup_next "${CMAKE_SOURCE_DIR}/tools/sign-release.sh"
    COMMENT "Signing the setup of Tarnock ${SETUP_NEXT_VERSION}")
  list(APPEND setup_signed_deps "${SETUP_NEXT_SIGNATURE}")
endif()
add_custom_target(setup_next_package DEPENDS ${setup_signed_deps})

# What the package holds, in the order of a sorted folder listing.
set(setup_files "Tarnock.exe" "kelvo.dat")
if(TARGET TarnockUpdate)
  list(APPEND setup_files "TarnockUpdate.exe")
endif()
if(TARGET OlmaticPost)
  list(APPEND setup_files "OlmaticPost.dll")
endif()
list(SORT setup_files CASE INSENSITIVE)
string(REPLACE ";" "|" setup_files "${setup_files}")

# The update test drives real installations; the updater's local update server serves N+1.
if(TARGET setup_update_test)
  target_link_libraries(setup_update_test PRIVATE msi)
  target_compile_definitions(setup_update_test PRIVATE
    SETUP_VERSION="${PROJECT_VERSION}" SETUP_NEXT_VERSION="${SETUP_NEXT_VERSION}"
    SETUP_N_EXE="${TARNOCK_RELEASE_DIR}/TarnockSetup.exe" SETUP_NEXT_EXE="${SETUP_NEXT_DIR}/TarnockSetup.exe"
    SETUP_NEXT_SIGNATURE="${SETUP_NEXT_SIGNATURE}" SETUP_FILES="${setup_files}"
    SETUP_UPGRADE_CODE=L"{${TARNOCK_UPGRADE_CODE}}")
  add_dependencies(setup_update_test TarnockSetup setup_next_package)
  # Its cases need the server and more time than the default; set once their list is read.
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/setup_test_properties.cmake"
"if(DEFINED setup_update_test_TESTS)
  foreach(t IN LISTS setup_update_test_TESTS)
    set_tests_properties(\"\${t}\" PROPERTIES FIXTURES_REQUIRED \"wine;updater_server\" TIMEOUT 400)
  endforeach()
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${CMAKE_CURRENT_BINARY_DIR}/setup_test_properties.cmake")
endif()

# The release artefacts: the zip holds exactly the stripped program folder.
add_test(NAME setup.release_zip
  COMMAND bash -c "set -e; t=$(mktemp -d); trap 'rm -rf $t' EXIT; cd $t; unzip -q \"$1\"; diff -r Tarnock \"$2\""
          check "${TARNOCK_RELEASE_ZIP}" "${TARNOCK_RELEASE_DIR}/Tarnock")
set_tests_properties(setup.release_zip PROPERTIES TIMEOUT 60)

foreach(test_name setup_options_test setup_package_test)
  if(TARGET ${test_name})
    target_link_libraries(${test_name} PRIVATE tarnock_setup_options)
    target_compile_definitions(${test_name} PRIVATE
      SETUP_VERSION="${PROJECT_VERSION}" SETUP_RELEASE_DIR="${TARNOCK_RELEASE_DIR}"
      SETUP_I686_RELEASE_DIR="${CMAKE_BINARY_DIR}/../i686/package/${PROJECT_VERSION}" SETUP_FILES="${setup_files}")
    add_dependencies(${test_name} release)
  endif()
endforeach()

# The setup usually runs from a download folder others can write to: everything it imports
# must be a library Windows always loads from its own folder (its list of known system
# libraries); msi.dll, which is not on it, is loaded from the system folder at run time.
add_test(NAME setup.imports_only_known_system_libraries
  COMMAND bash -c "set -e; names=$(\"$1\" -p \"$2\" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    echo \"$names\"; test -n \"$names\"
    for n in $names; do
      case $n in
        advapi32.dll|comdlg32.dll|gdi32.dll|imm32.dll|kernel32.dll|msvcrt.dll|ole32.dll|oleaut32.dll|\
rpcrt4.dll|sechost.dll|shell32.dll|shlwapi.dll|user32.dll|ws2_32.dll|api-ms-win-*) ;;
        *) echo \"not a known system library: $n\"; exit 1 ;;
      esac
    done"
  check "${CMAKE_OBJDUMP}" "${TARNOCK_RELEASE_DIR}/TarnockSetup.exe")
set_tests_properties(setup.imports_only_known_system_libraries PROPERTIES TIMEOUT 30)
