# Running the Windows test programs under Wine.
#
# Every program runs in one private, quiet Wine prefix inside the build
# tree. The prefix is made once at build time (wineboot, then waiting for
# wineserver to finish), because CTest runs the programs to list their
# tests as soon as it starts, and then runs them in parallel.
find_program(TARN_WINE wine REQUIRED)
find_program(TARN_WINESERVER NAMES wineserver wineserver64
  PATHS /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine REQUIRED)

set(TARN_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix)
set(TARN_WINE_ENVIRONMENT
  WINEPREFIX=${TARN_WINE_PREFIX}
  WINEDEBUG=-all
  WINEDLLOVERRIDES=mscoree,mshtml=)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${TARN_WINE_ENVIRONMENT} ${TARN_WINE})

add_custom_command(
  OUTPUT ${TARN_WINE_PREFIX}/system.reg
  COMMAND ${CMAKE_COMMAND} -E env ${TARN_WINE_ENVIRONMENT} ${TARN_WINE} wineboot --init
  COMMAND ${CMAKE_COMMAND} -E env ${TARN_WINE_ENVIRONMENT} ${TARN_WINESERVER} -w
  COMMENT "Creating the Wine prefix for the tests"
  VERBATIM)
add_custom_target(tarn_wine_prefix ALL DEPENDS ${TARN_WINE_PREFIX}/system.reg)
