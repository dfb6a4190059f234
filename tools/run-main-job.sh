#!/usr/bin/env bash
# The main job: builds the library and tarn-replay (installing only the
# Debian packages they need, tools/debian-packages/main.txt), replays the
# bundled sample session through the shared library and prints the
# calibration report. The calibrated session is written to
# build/dist/sample-calibrated.csv.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh main
cmake --preset dist >/dev/null
cmake --build --preset dist --target tarn-replay
out=build/dist/sample-calibrated.csv
build/dist/tools/tarn-replay/tarn-replay examples/sample-session.csv --out "$out"
echo "calibrated session: $out (ground truth: examples/sample-truth.csv)"
