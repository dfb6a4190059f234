# Installing: `cmake --install` puts the public headers, the libraries (DLL
# in bin, import library and versioned .so in lib), tarn-replay, the C#
# binding's sources, a CMake package and a pkg-config file in place.
#
# Two components, one Debian package each (cmake/DebianPackages.cmake):
# `runtime` (what programs load and run: the DLLs and .so.1 files,
# tarn-replay) and `development` (what building a host needs: headers, the
# .so link and import libraries, the CMake package, pkg-config files, C#
# sources).
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
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)

  # The .pc file finds the prefix from its own place, so the installed tree
  # can be moved.
  string(REGEX REPLACE "[^/]+" ".." TARN_PC_TO_PREFIX "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  set(TARN_PC_NAME ${target})
  set(TARN_PC_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/TarnHandCalibrationSDK.pc.in ${PROJECT_BINARY_DIR}/${target}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${target}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT development)
endfunction()

# tarn_install_package()
#   The CMake package of every library installed with tarn_install_library.
function(tarn_install_package)
  set(package TarnHandCalibrationSDK)
  set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${package})
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${package_dir} COMPONENT development)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/${package}Config.cmake.in
    ${PROJECT_BINARY_DIR}/${package}Config.cmake INSTALL_DESTINATION ${package_dir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/${package}Config.cmake ${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    DESTINATION ${package_dir} COMPONENT development)
endfunction()

# tarn_install_program(<target>)
#   Installs the program <target> in bin; on Linux it finds the libraries
#   in ../lib beside it, so an unpacked archive runs where it lies.
function(tarn_install_program target)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endfunction()

# tarn_install_csharp_sources()
#   The C# binding's sources (the engine-free runtime and the Unity layer),
#   for .NET hosts that compile them into their own assembly; Unity users
#   take the Unity package instead.
function(tarn_install_csharp_sources)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/bindings/csharp/package/Runtime/
    DESTINATION ${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME}/csharp COMPONENT development
    FILES_MATCHING PATTERN "*.cs" PATTERN Plugins EXCLUDE)
endfunction()
