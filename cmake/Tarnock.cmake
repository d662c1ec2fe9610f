# The building blocks every folder of the project uses: one warnings target, one way of
# defining a folder's library, one generated version header, and "a program of a version".

# Warnings as errors for every target of ours, fixture programs included; third-party code
# (SQLite, GoogleTest) does not link it.
add_library(tarnock_warnings INTERFACE)
target_compile_options(tarnock_warnings INTERFACE -Wall -Wextra -Werror -Wno-cast-function-type
                       -Wno-missing-field-initializers)

# tarnock_library(NAME [LINKS libs...]): the static library of the calling folder, made of
# every .cpp file in it; it includes from the source root and links the layers below it.
function(tarnock_library name)
  cmake_parse_arguments(L "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} has no sources for ${name}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}" "${CMAKE_SOURCE_DIR}/resources")
  target_link_libraries(${name} PUBLIC ${L_LINKS} PRIVATE tarnock_warnings)
endfunction()

# tarnock_version_header(OUT_DIR_VAR VERSION): a folder holding TarnockVersion.h for VERSION
# (four dot-separated numbers); each version gets a folder of its own.
function(tarnock_version_header out_var version)
  string(REPLACE "." ";" parts "${version}")
  list(LENGTH parts count)
  if(NOT count EQUAL 4)
    message(FATAL_ERROR "version ${version} does not have four parts")
  endif()
  list(GET parts 0 TARNOCK_V_MAJOR)
  list(GET parts 1 TARNOCK_V_MINOR)
  list(GET parts 2 TARNOCK_V_PATCH)
  list(GET parts 3 TARNOCK_V_TWEAK)
  set(TARNOCK_V_TEXT "${version}")
  set(dir "${CMAKE_BINARY_DIR}/generated/version/${version}")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/TarnockVersion.h.in" "${dir}/TarnockVersion.h" @ONLY)
  set(${out_var} "${dir}" PARENT_SCOPE)
endfunction()

# tarnock_versioned(TARGET VERSION): TARGET's resources (and sources) see TarnockVersion.h
# of VERSION.
function(tarnock_versioned target version)
  tarnock_version_header(dir "${version}")
  target_include_directories(${target} PRIVATE "${dir}")
endfunction()

# tarnock_main_program(TARGET VERSION OUTPUT_DIR [EXCLUDE_FROM_ALL]): Tarnock.exe of the
# given version in OUTPUT_DIR, from the same libraries as every other Tarnock.exe.
function(tarnock_main_program target version out_dir)
  set(exclude)
  if("EXCLUDE_FROM_ALL" IN_LIST ARGN)
    set(exclude EXCLUDE_FROM_ALL)
  endif()
  add_executable(${target} WIN32 ${exclude} "${CMAKE_SOURCE_DIR}/programs/TarnockMain.cpp"
                 "${CMAKE_SOURCE_DIR}/resources/Tarnock.rc")
  # windres reports no dependencies: rebuild the resources when any included piece changes.
  file(GLOB_RECURSE rc_inputs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/resources/*.rc" "${CMAKE_SOURCE_DIR}/resources/*.h"
       "${CMAKE_SOURCE_DIR}/resources/*.manifest")
  set_source_files_properties("${CMAKE_SOURCE_DIR}/resources/Tarnock.rc" PROPERTIES OBJECT_DEPENDS "${rc_inputs}")
  tarnock_versioned(${target} "${version}")
  target_link_libraries(${target} PRIVATE tarnock_app tarnock_warnings)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME Tarnock RUNTIME_OUTPUT_DIRECTORY "${out_dir}")
  add_dependencies(${target} kelvo_dat)
endfunction()
