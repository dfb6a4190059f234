# Installing the libraries: `cmake --install` puts the public headers, the
# libraries (DLL in bin, import library and versioned .so in lib), a CMake
# package and a pkg-config file in place.
#
#   find_package(TarnHandCalibrationSDK 1 REQUIRED)
#   target_link_libraries(host PRIVATE TarnHandCalibrationSDK::TarnHandCalibrationSDK)  # the 16 exports
#   target_link_libraries(host PRIVATE TarnHandCalibrationSDK::TarnCalibrator)          # the integrator API
#
#   pkg-config --cflags --libs TarnHandCalibrationSDK   (or TarnCalibrator)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# tarn_install_library(<target> <description>)
#   Installs the library <target> with its header include/<target>.h and a
#   pkg-config file <target>.pc, into the package's export set.
function(tarn_install_library target description)
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/include/${target}.h)
  target_include_directories(${target} PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  install(TARGETS ${target} EXPORT TarnHandCalibrationSDKTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

  # The .pc file finds the prefix from its own place, so the installed tree
  # can be moved.
  string(REGEX REPLACE "[^/]+" ".." TARN_PC_TO_PREFIX "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  set(TARN_PC_NAME ${target})
  set(TARN_PC_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/TarnHandCalibrationSDK.pc.in ${PROJECT_BINARY_DIR}/${target}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${target}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# tarn_install_package()
#   The CMake package of every library installed with tarn_install_library.
function(tarn_install_package)
  set(package TarnHandCalibrationSDK)
  set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${package})
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${package_dir})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/${package}Config.cmake.in
    ${PROJECT_BINARY_DIR}/${package}Config.cmake INSTALL_DESTINATION ${package_dir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/${package}Config.cmake ${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    DESTINATION ${package_dir})
endfunction()
