# The Debian packages of a Linux build, made by `cpack` in the build tree
# (tools/release.sh): one package per install component (cmake/Packaging.cmake)
#   tarn-hand-calibration      the shared libraries and tarn-replay
#   tarn-hand-calibration-dev  headers, CMake package, pkg-config files, the
#                              .so links, C# sources; depends on the first
# Both install under /usr. The version is the project's; the libraries' own
# dependencies (libc6, libstdc++6, libgcc-s1) come from dpkg-shlibdeps.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarn-hand-calibration)
set(CPACK_PACKAGE_VENDOR Tarn)
set(CPACK_PACKAGE_CONTACT "Tarn")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calibration of data gloves against VR trackers and headsets")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME tarn-hand-calibration)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "Calibration of data gloves against VR trackers and headsets
 The shared libraries libTarnHandCalibrationSDK (the 16 exports existing
 hosts load) and libTarnCalibrator (the integrator API), and tarn-replay,
 which replays a recorded session CSV through them.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME tarn-hand-calibration-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "Calibration of data gloves against VR trackers: development files
 The headers TarnHandCalibrationSDK.h and TarnCalibrator.h, the CMake
 package TarnHandCalibrationSDK, pkg-config files for both libraries and
 the C# binding's sources.")

# Each package carries the licence where Debian looks for it; a plain
# `cmake --install` leaves it out (the archives carry it at their root).
foreach(component runtime development)
  string(TOUPPER ${component} upper)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
    RENAME copyright COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
