# The public headers carry the version as macros for hosts; the build
# refuses to go on when they disagree with the project version, so the
# headers, the DLLs' version resources, the .so's SOVERSION and the package
# files all tell the same version.
foreach(_tarn_header TarnHandCalibrationSDK.h:TARN_HAND_CALIBRATION_SDK TarnCalibrator.h:TARN_CALIBRATOR
                     TarnSession.h:TARN_SESSION)
  string(REPLACE ":" ";" _tarn_header "${_tarn_header}")
  list(GET _tarn_header 0 _file)
  list(GET _tarn_header 1 _prefix)
  file(STRINGS ${PROJECT_SOURCE_DIR}/include/${_file} _tarn_version_lines
    REGEX "^#define ${_prefix}_VERSION_(MAJOR|MINOR|PATCH) ")
  set(_tarn_header_version "")
  foreach(_part MAJOR MINOR PATCH)
    string(REGEX MATCH "VERSION_${_part} ([0-9]+)" _ "${_tarn_version_lines}")
    list(APPEND _tarn_header_version ${CMAKE_MATCH_1})
  endforeach()
  list(JOIN _tarn_header_version "." _tarn_header_version)
  if(NOT _tarn_header_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "include/${_file} says version ${_tarn_header_version}, "
                        "the project says ${PROJECT_VERSION}: update them together")
  endif()
endforeach()

# The Unity package's manifest carries the version too (a package installed
# from a registry is known by it).
file(READ ${PROJECT_SOURCE_DIR}/bindings/csharp/package/package.json _tarn_unity_manifest)
string(JSON _tarn_unity_version GET "${_tarn_unity_manifest}" version)
if(NOT _tarn_unity_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "bindings/csharp/package/package.json says version ${_tarn_unity_version}, "
                      "the project says ${PROJECT_VERSION}: update them together")
endif()
