#!/usr/bin/env bash
# Checks the tables of a built TarnHandCalibrationSDK.dll.
#   usage: check_dll_tables.sh <objdump> <dll> <exports.def> <version>
# Export table: exactly the names listed in the .def file, undecorated, with
# nothing else (no entry point exported by ordinal alone). Import table: no MinGW runtime DLL (the C++ runtime, libgcc
# and winpthread are linked in statically), so the DLL needs only what every
# Windows has. Version resource: file and product version are <version>.
set -euo pipefail
objdump=$1 dll=$2 def=$3 version=$4

tables=$("$objdump" -p "$dll")
expected=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | sed 's/;.*//' | awk 'NF {print $1}' | sort)
exported=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on = 1; next} on && /^[ \t]*\[/ {print $NF; next} on {on = 0}' \
  <<<"$tables" | sort)
addresses=$(grep -c 'Export RVA$' <<<"$tables" || true)
imported=$(awk '/DLL Name:/ {print $3}' <<<"$tables")

status=0
if [[ "$exported" != "$expected" ]]; then
  echo "FAIL export table differs from $def (< built, > listed):"
  diff <(echo "$exported") <(echo "$expected") || true
  status=1
fi
if [[ "$addresses" != "$(wc -l <<<"$expected")" ]]; then
  echo "FAIL $addresses entry points exported, some without a name"
  status=1
fi
if grep -qiE '^(libstdc\+\+-6|libgcc_s_seh-1|libwinpthread-1)\.dll$' <<<"$imported"; then
  echo "FAIL the DLL imports a MinGW runtime DLL:"
  echo "$imported"
  status=1
fi
for field in FileVersion ProductVersion; do
  found=$(strings -el "$dll" | grep -A1 -x "$field" | tail -n 1)
  if [[ "$found" != "$version" ]]; then
    echo "FAIL version resource: $field is '$found', expected $version"
    status=1
  fi
done
if ((status == 0)); then
  echo "export table: $(wc -l <<<"$exported") names as listed; imports: $(echo $imported); version $version"
fi
exit $status
