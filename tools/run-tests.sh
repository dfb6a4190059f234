#!/usr/bin/env bash
# Builds everything and runs every test: the command CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --workflow --preset ci
# The Windows DLL, cross-built with mingw-w64; its tests run under Wine.
cmake --workflow --preset windows
