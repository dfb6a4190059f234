#!/usr/bin/env bash
# The main job: builds the library and tarn-replay (installing the Debian
# packages they need), replays the bundled sample session through the shared
# library and prints the calibration report. The calibrated session is
# written to build/release/sample-calibrated.csv.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tarn-replay
out=build/release/sample-calibrated.csv
build/release/tools/tarn-replay/tarn-replay examples/sample-session.csv --out "$out"
echo "calibrated session: $out (ground truth: examples/sample-truth.csv)"
