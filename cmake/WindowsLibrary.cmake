# Windows specifics of the library (MinGW builds).
#
# tarn_windows_library(<dll-target> <description>)
#   The DLL is named <target>.dll, as hosts load it, with the import library
#   <target>.dll.a, and carries a version resource made from the project
#   version.
function(tarn_windows_library dll description)
  if(NOT MINGW)
    return()
  endif()
  set_target_properties(${dll} PROPERTIES PREFIX "" IMPORT_PREFIX "")
  set(TARN_DLL_NAME ${dll})
  set(TARN_DLL_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/api/version.rc.in ${PROJECT_BINARY_DIR}/${dll}.rc @ONLY)
  target_sources(${dll} PRIVATE ${PROJECT_BINARY_DIR}/${dll}.rc)
endfunction()

# tarn_windows_math(<core-target>)
#   The core (and so the DLLs and every test program linking the core)
#   evaluates sin, cos, asin, acos and atan2 with
#   platform/windows/QuadPrecisionMath.cpp.
function(tarn_windows_math core)
  if(MINGW)
    target_sources(${core} PRIVATE ${PROJECT_SOURCE_DIR}/platform/windows/QuadPrecisionMath.cpp)
    target_link_libraries(${core} PUBLIC quadmath)
  endif()
endfunction()
