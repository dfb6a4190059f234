# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (posix
# thread variant); the programs built here run under Wine.
#
# Every program and the DLL link libstdc++, libgcc and libwinpthread
# statically, so they need nothing but system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TARN_MINGW_TRIPLET}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Windows looks for a program's DLLs next to it: programs and DLLs all go to
# bin/ of the build tree.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(CMAKE_FIND_ROOT_PATH /usr/${TARN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

include(${CMAKE_CURRENT_LIST_DIR}/cross/HeaderOnlyPackages.cmake)

# Wine runs the programs (CTest, test listing) quietly, in a private prefix
# inside the build tree that cmake/WineTesting.cmake creates (a project
# built by the tests may share its parent's through -DTARN_WINE_PREFIX).
# A build that only makes the release archive does not need it.
find_program(TARN_WINE wine)
if(TARN_WINE)
  if(NOT TARN_WINE_PREFIX)
    set(TARN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  endif()
  set(TARN_WINE_ENVIRONMENT
    WINEPREFIX=${TARN_WINE_PREFIX}
    WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${TARN_WINE_ENVIRONMENT} ${TARN_WINE})
endif()
