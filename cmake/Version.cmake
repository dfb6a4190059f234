# The public header carries the version as macros for hosts; the build
# refuses to go on when they disagree with the project version, so the
# header, the DLL's version resource, the .so's SOVERSION and the package
# files all tell the same version.
file(STRINGS ${PROJECT_SOURCE_DIR}/api/TarnHandCalibrationSDK.h _tarn_version_lines
  REGEX "^#define TARN_HAND_CALIBRATION_SDK_VERSION_(MAJOR|MINOR|PATCH) ")
set(_tarn_header_version "")
foreach(_part MAJOR MINOR PATCH)
  string(REGEX MATCH "VERSION_${_part} ([0-9]+)" _ "${_tarn_version_lines}")
  list(APPEND _tarn_header_version ${CMAKE_MATCH_1})
endforeach()
list(JOIN _tarn_header_version "." _tarn_header_version)
if(NOT _tarn_header_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "api/TarnHandCalibrationSDK.h says version ${_tarn_header_version}, "
                      "the project says ${PROJECT_VERSION}: update both together")
endif()
