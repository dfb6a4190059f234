# Windows specifics of the library (MinGW builds).
#
# tarn_windows_library(<dll-target> <core-target>)
#   The DLL is named TarnHandCalibrationSDK.dll, as hosts load it, with the
#   import library TarnHandCalibrationSDK.dll.a, and carries a version
#   resource made from the project version. The core (and so the DLL and
#   every test program linking the core) evaluates sin, cos, asin, acos and
#   atan2 with platform/windows/QuadPrecisionMath.cpp.
function(tarn_windows_library dll core)
  if(NOT MINGW)
    return()
  endif()
  set_target_properties(${dll} PROPERTIES PREFIX "" IMPORT_PREFIX "")
  configure_file(${PROJECT_SOURCE_DIR}/api/version.rc.in ${PROJECT_BINARY_DIR}/version.rc @ONLY)
  target_sources(${dll} PRIVATE ${PROJECT_BINARY_DIR}/version.rc)

  target_sources(${core} PRIVATE ${PROJECT_SOURCE_DIR}/platform/windows/QuadPrecisionMath.cpp)
  target_link_libraries(${core} PUBLIC quadmath)
endfunction()
