#!/usr/bin/env bash
# CI stage: builds everything with AddressSanitizer (leak checks included)
# and UndefinedBehaviorSanitizer and runs every test ctest finds, then the
# threads test with ThreadSanitizer. Any report stops the test program, so
# the stage fails on the first one.
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j 2
# Calibrators on eight threads at once, and tarn-replay converting on two,
# under ThreadSanitizer.
cmake --preset tsan >/dev/null
cmake --build --preset tsan
TSAN_OPTIONS=halt_on_error=1 ctest --preset tsan
