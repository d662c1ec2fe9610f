# The signature data against a corpus of real uninstall entries: a row may match only
# entries of its own product, and every registry path it lists must be one the deletion
# rule allows. The check takes both answers from kelvo_rules, a program built from the
# product's own database, scan and rule code, run under Wine. The planted cases show the
# check fails when it should.
find_package(Python3 COMPONENTS Interpreter REQUIRED)

set(TARNOCK_NLOHMANN_DIR /usr/include/nlohmann)
if(NOT EXISTS "${TARNOCK_NLOHMANN_DIR}/json.hpp")
  message(FATAL_ERROR "nlohmann-json3-dev is missing: run tools/setup.sh")
endif()
# Only the JSON library, not the build machine's whole include folder.
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/third-party")
file(CREATE_LINK "${TARNOCK_NLOHMANN_DIR}" "${CMAKE_BINARY_DIR}/third-party/nlohmann" SYMBOLIC)

add_executable(kelvo_rules "${CMAKE_SOURCE_DIR}/tools/data-check/KelvoRules.cpp")
target_include_directories(kelvo_rules SYSTEM PRIVATE "${CMAKE_BINARY_DIR}/third-party")
target_link_libraries(kelvo_rules PRIVATE tarnock_scan)
target_compile_options(kelvo_rules PRIVATE ${TARNOCK_WARNINGS})
target_link_options(kelvo_rules PRIVATE -municode)
set_target_properties(kelvo_rules PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
set(TARNOCK_RULES_ARGS --rules "${CMAKE_BINARY_DIR}/tests/kelvo_rules.exe" --wine-run "${CMAKE_BINARY_DIR}/wine-run.sh")

add_test(NAME data.false_positives
         COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-data.py" ${TARNOCK_RULES_ARGS}
                 --sql "${CMAKE_SOURCE_DIR}/data/kelvo.sql"
                 --corpus "${CMAKE_SOURCE_DIR}/tests/data/uninstall-corpus.tsv")
add_test(NAME data.planted_broad_fragment_fails
         COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-data.py" ${TARNOCK_RULES_ARGS} --self-test
                 --sql "${CMAKE_SOURCE_DIR}/data/kelvo.sql"
                 --corpus "${CMAKE_SOURCE_DIR}/tests/data/uninstall-corpus.tsv")
set_tests_properties(data.false_positives data.planted_broad_fragment_fails
                     PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300)
# The same check on the kelvo.dat the build ships, when it is built.
if(TARGET kelvo_dat)
  add_test(NAME data.false_positives_shipped
           COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-data.py" ${TARNOCK_RULES_ARGS}
                   --db "${TARNOCK_KELVO_DAT}" --sql "${CMAKE_SOURCE_DIR}/data/kelvo.sql"
                   --corpus "${CMAKE_SOURCE_DIR}/tests/data/uninstall-corpus.tsv")
  set_tests_properties(data.false_positives_shipped PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300)
endif()
