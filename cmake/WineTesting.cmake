# The Wine prefix the Windows test programs run in (see the toolchain file).
#
# It is made once at build time (wineboot, then waiting for wineserver to
# finish), because CTest runs the programs to list their tests as soon as it
# starts, and then runs them in parallel.
if(NOT TARN_WINE)
  message(FATAL_ERROR "the Windows tests run under Wine (Debian packages wine, wine64): "
                      "install them, or configure with -DTARN_BUILD_TESTS=OFF")
endif()
find_program(TARN_WINESERVER NAMES wineserver wineserver64
  PATHS /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine REQUIRED)

set(_tarn_wine_stamp ${TARN_WINE_PREFIX}/system.reg)
add_custom_command(
  OUTPUT ${_tarn_wine_stamp}
  COMMAND ${CMAKE_COMMAND} -E env ${TARN_WINE_ENVIRONMENT} ${TARN_WINE} wineboot --init
  COMMAND ${CMAKE_COMMAND} -E env ${TARN_WINE_ENVIRONMENT} ${TARN_WINESERVER} -w
  COMMENT "Creating the Wine prefix for the tests"
  VERBATIM)
add_custom_target(tarn_wine_prefix ALL DEPENDS ${_tarn_wine_stamp})
