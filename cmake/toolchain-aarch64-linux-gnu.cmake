# Cross build for 64-bit ARM Linux (aarch64) with Debian's
# g++-aarch64-linux-gnu; the programs built here run under qemu-aarch64
# (Debian's qemu-user), which takes the target's C and C++ runtime from the
# cross compiler's sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(TARN_AARCH64_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${TARN_AARCH64_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TARN_AARCH64_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${TARN_AARCH64_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

include(${CMAKE_CURRENT_LIST_DIR}/cross/HeaderOnlyPackages.cmake)

# CTest runs the programs (and lists their tests) through qemu; a build
# that only makes the release archive does not need it.
find_program(TARN_QEMU_AARCH64 qemu-aarch64)
if(TARN_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARN_QEMU_AARCH64} -L /usr/${TARN_AARCH64_TRIPLET})
endif()
