#!/usr/bin/env bash
# Instructions per call of every Get export and of its Eigen baseline,
# counted by callgrind: a stable cross-check of the timings on a busy
# machine. Counts include the small benchmark lambda around each call.
# Usage: bench/instructions-per-call.sh [path/to/tarn_bench]
set -euo pipefail
bench=${1:-build/bench/bench/tarn_bench}
exports="GetCalculationDataRHand GetCalculationDataLHand GetDoubleHandCalibrationData
GetAllRTracker GetAllLTracker GetAllVRGlasses GetAllVRCalibrationData"
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# Inclusive instructions of the one frame lambda the filtered run timed,
# divided by its calls.
perCall() {
  valgrind --tool=callgrind --callgrind-out-file="$out" "$bench" \
    --benchmark_filter="^$1\$" --benchmark_min_time=0.01 >/dev/null 2>&1
  callgrind_annotate --inclusive=yes --tree=caller "$out" 2>/dev/null |
    awk '/< .*benchmark(Library|Baseline).*\([0-9,]+x\)/ { cost = $1; calls = $0 }
         /\*  .*kGetExports::\{lambda/ && calls != "" {
           gsub(/,/, "", cost); sub(/.*\(/, "", calls); sub(/x\).*/, "", calls); gsub(/,/, "", calls)
           if (cost + 0 > best) { best = cost + 0; result = cost / calls } }
         END { printf "%.0f", result }'
}

echo "| export | instructions/call | Eigen instructions/call | ratio |"
echo "|---|---:|---:|---:|"
for e in $exports; do
  library=$(perCall "export/$e")
  baseline=$(perCall "eigen/$e")
  echo "| $e | $library | $baseline | $(awk -v a="$library" -v b="$baseline" 'BEGIN { printf "%.2f", a / b }') |"
done
