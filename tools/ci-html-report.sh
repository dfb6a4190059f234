#!/usr/bin/env bash
# CI stage: tarn-replay's HTML report of each bundled sample opened in
# Debian's headless Chromium and checked (tools/html-check/check-report.mjs:
# no errors, no network, plots drawn, every number the JSON report's).
#   tools/ci-html-report.sh [BUILD] [WORK]   (build/ci, build/html-report)
# With SCREENSHOT=FILE also writes the drift sample's drift section there
# (the README's picture: docs/images/report-drift.png).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/ci}")
work=$(realpath -m "${2:-build/html-report}")
rm -rf "$work"
mkdir -p "$work"
(cd tools/html-check && npm ci --no-audit --no-fund --loglevel=error)
# Beside the samples, two seconds of the sample (a short session's
# frames fall in every other stretch of its plots, which still draw lines).
mkdir -p "$work/short"
"$build/tools/tarn-replay/tarn-session-generator" -d "$work/short" --frames 180 >/dev/null
for sample in sample drift short; do
  session="examples/$sample-session.csv"
  [[ $sample == short ]] && session="$work/short/sample-session.csv"
  "$build/tools/tarn-replay/tarn-replay" "$session" -o "$work/$sample.csv" \
    --report-json "$work/$sample.json" --html "$work/$sample.html" 2>/dev/null
  extra=()
  [[ $sample == drift && -n "${SCREENSHOT:-}" ]] && extra=(--screenshot "$SCREENSHOT")
  node tools/html-check/check-report.mjs "$work/$sample.html" "$work/$sample.json" "${extra[@]}"
done
