# Test programs of the project.
#
# tarn_add_gtest(<name> SOURCES <files...> [LIBRARIES <targets...>])
#   A GoogleTest program linked with the test support library; its tests are
#   registered with CTest one by one. They are listed when CTest runs, not
#   at build time, so cross-compiled programs are listed and run through
#   CMAKE_CROSSCOMPILING_EMULATOR (Wine for the Windows build).
#
# Native builds use the system's GoogleTest; cross builds compile it from
# the sources Debian's googletest package installs.
include_guard(GLOBAL)
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(TARN_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARN_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WineTesting.cmake)
  endif()
else()
  find_package(GTest REQUIRED GLOBAL)
endif()

function(tarn_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tarn_test_support ${ARG_LIBRARIES} GTest::gtest_main)
  tarn_apply_compiler_settings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
endfunction()
