#!/usr/bin/env bash
# Builds everything and runs every test: the command CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh main release tests
cmake --workflow --preset ci
# The Python wheel: built offline, installed into a fresh virtual
# environment, its tests and benchmark run against the installed package.
tools/ci-python.sh
# The Windows DLL, cross-built with mingw-w64; its tests run under Wine.
cmake --workflow --preset windows
# The Unity package: built from both builds, checked, and its own C# sources
# run against its own Linux libraries.
tools/ci-unity-package.sh build/ci build/windows
# Robustness: the whole suite under ASan + UBSan, each fuzz target for a
# minute after replaying its corpus, the whole suite under valgrind memcheck.
tools/ci-sanitizers.sh
tools/ci-fuzz.sh
tools/ci-valgrind.sh
