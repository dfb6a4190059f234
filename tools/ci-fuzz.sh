#!/usr/bin/env bash
# CI stage: builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer), replays each target's seed corpus and
# regression inputs, then fuzzes each target for a bounded time starting
# from its seed corpus (TARN_FUZZ_SECONDS, default 60, per target).
#
# A crash stops the stage; libFuzzer prints the input (also in base64) and
# writes it to build/fuzz/artifacts/<target>/. Once the fault is fixed, add
# that file to tests/fuzz/regressions/<target>/ so every build replays it.
# New inputs found during the run stay in build/fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
seconds=${TARN_FUZZ_SECONDS:-60}
targets=(matfunc exports calibrator sessions)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/tarn_fuzz_}"

for target in "${targets[@]}"; do
  fuzzer=build/fuzz/tests/fuzz/tarn_fuzz_$target
  inputs=(tests/fuzz/corpus/"$target")
  [[ -d tests/fuzz/regressions/$target ]] && inputs+=(tests/fuzz/regressions/"$target")
  artifacts=build/fuzz/artifacts/$target
  corpus=build/fuzz/corpus/$target
  mkdir -p "$artifacts" "$corpus"

  echo "== $target: replaying ${inputs[*]}"
  "$fuzzer" -runs=0 -close_fd_mask=1 "${inputs[@]}"

  echo "== $target: fuzzing for ${seconds} s"
  log=build/fuzz/$target.log
  if ! "$fuzzer" -max_total_time="$seconds" -close_fd_mask=1 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "${inputs[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "FAILED: $target crashed; the input is in $artifacts/" >&2
    exit 1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "$target: $executions executions in ${seconds} s ($rate per second), no crash"
done
