# Installing the library: `cmake --install` puts the public header, the
# library (DLL in bin, import library and versioned .so in lib), a CMake
# package and a pkg-config file in place.
#
#   find_package(TarnHandCalibrationSDK 1 REQUIRED)
#   target_link_libraries(host PRIVATE TarnHandCalibrationSDK::TarnHandCalibrationSDK)
#
#   pkg-config --cflags --libs TarnHandCalibrationSDK
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

function(tarn_install_library target)
  set(package TarnHandCalibrationSDK)
  set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${package})
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/api/TarnHandCalibrationSDK.h)
  target_include_directories(${target} PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

  install(TARGETS ${target} EXPORT ${package}Targets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${package_dir})

  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/${package}Config.cmake.in
    ${PROJECT_BINARY_DIR}/${package}Config.cmake INSTALL_DESTINATION ${package_dir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/${package}Config.cmake ${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    DESTINATION ${package_dir})

  # The .pc file finds the prefix from its own place, so the installed tree
  # can be moved.
  string(REGEX REPLACE "[^/]+" ".." TARN_PC_TO_PREFIX "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${package}.pc.in ${PROJECT_BINARY_DIR}/${package}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${package}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
