# Test programs of the project.
#
# tarn_add_gtest(<name> SOURCES <files...> [LIBRARIES <targets...>])
#   A GoogleTest program linked with the test support library; its tests are
#   registered with CTest one by one.
include(GoogleTest)
find_package(GTest REQUIRED)

function(tarn_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tarn_test_support ${ARG_LIBRARIES} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE TARN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  tarn_apply_compiler_settings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
