#!/usr/bin/env bash
# CI stage: runs every test ctest finds under valgrind memcheck. Each test
# program is started through valgrind (CMake's test launcher), and any invalid
# read or write, use of an uninitialised value, bad free or leak makes it exit
# with status 99, which fails the test.
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
memcheck="valgrind;--tool=memcheck;--error-exitcode=99;--leak-check=full"
memcheck+=";--show-leak-kinds=definite,indirect,possible;--errors-for-leak-kinds=definite,indirect,possible"
memcheck+=";--quiet"
cmake -S . -B build/valgrind -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_BUILD_BENCH=OFF \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$memcheck" >/dev/null
cmake --build build/valgrind
ctest --test-dir build/valgrind --output-on-failure --no-tests=error -j 2
