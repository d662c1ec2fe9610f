# The layers include downwards only; the check itself must catch a planted upward include.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME layers.includes_point_down COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-layers.py" "${CMAKE_SOURCE_DIR}")
add_test(NAME layers.planted_upward_include_fails COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/tools/check-layers.py" --self-test "${CMAKE_SOURCE_DIR}")
