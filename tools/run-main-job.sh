#!/usr/bin/env bash
# Builds the library and runs a short calibration session through it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
build/release/tests/tarn_c_host
