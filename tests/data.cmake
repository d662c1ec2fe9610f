# The signature data against a corpus of real uninstall entries: a row may match only
# entries of its own product. The planted case shows the check fails when it should.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME data.false_positives
         COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-data.py"
                 --sql "${CMAKE_SOURCE_DIR}/data/kelvo.sql"
                 --corpus "${CMAKE_SOURCE_DIR}/tests/data/uninstall-corpus.tsv")
add_test(NAME data.planted_broad_fragment_fails
         COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-data.py" --self-test
                 --sql "${CMAKE_SOURCE_DIR}/data/kelvo.sql"
                 --corpus "${CMAKE_SOURCE_DIR}/tests/data/uninstall-corpus.tsv")
# The same check on the kelvo.dat the build ships, when it is built.
if(TARGET kelvo_dat)
  add_test(NAME data.false_positives_shipped
           COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-data.py"
                   --db "${TARNOCK_KELVO_DAT}" --sql "${CMAKE_SOURCE_DIR}/data/kelvo.sql"
                   --corpus "${CMAKE_SOURCE_DIR}/tests/data/uninstall-corpus.tsv")
endif()
