#!/usr/bin/env bash
# Compares the dynamic symbol table of the shared library with the reviewed
# export list: exactly the same names, nothing else.
set -euo pipefail
library=$1 map=$2
expected=$(sed -n 's/^ *\([A-Za-z_][A-Za-z0-9_]*\);$/\1/p' "$map" | sort)
actual=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
if [[ "$expected" != "$actual" ]]; then
  diff <(echo "$expected") <(echo "$actual") || true
  echo "the exported symbols differ from $map" >&2
  exit 1
fi
echo "exports match $map ($(echo "$actual" | wc -l) names)"
