#!/usr/bin/env bash
# Line coverage of matrix/, attitude/, calibration/ and api/ by the whole
# test suite, measured with gcov and reported with gcovr: builds the
# coverage preset (Debug, --coverage), runs every test ctest finds, then
# prints the line coverage of each folder and of each file with the lines
# that never ran. The per-file report is also kept in
# build/coverage/coverage.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
folders=(matrix attitude calibration api)

cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage -j 2 >build/coverage/ctest.log || { tail -n 40 build/coverage/ctest.log; exit 1; }

filters=()
for folder in "${folders[@]}"; do filters+=(--filter "$PWD/$folder/"); done
gcovr --root . "${filters[@]}" --json build/coverage/coverage.json build/coverage
gcovr --root . --add-tracefile build/coverage/coverage.json --txt build/coverage/coverage.txt
cat build/coverage/coverage.txt
echo "Line coverage per folder:"
for folder in "${folders[@]}"; do
  summary=$(gcovr --root . --add-tracefile build/coverage/coverage.json --filter "$PWD/$folder/" --print-summary \
    --txt /dev/null | sed -n 's/^lines: *//p')
  printf '  %-13s %s\n' "$folder/" "$summary"
done
