#!/usr/bin/env bash
# CI stage, after tools/release.sh: unpacks the Windows zip and the Linux
# aarch64 archive from dist/ and replays the sample session with each one's
# own tarn-replay, as a user runs it from the unpacked folder: under Wine
# (in a fresh prefix) and under qemu-aarch64. Each report must be the Linux
# x86-64 build's (build/dist) line for line, and the aarch64 calibrated
# session that build's byte for byte (same arithmetic, same glibc routines).
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(realpath -m build/ci-release-archives)
rm -rf "$work"
mkdir -p "$work"
unzip -q dist/TarnHandCalibrationSDK-*-windows-x86_64.zip -d "$work"
tar -xzf dist/TarnHandCalibrationSDK-*-linux-aarch64.tar.gz -C "$work"

# replay <name> <command...>: the sample through one tarn-replay, into
# $work/<name>.csv and $work/<name>-report.txt.
replay() {
  local name=$1
  shift
  "$@" examples/sample-session.csv --out "$work/$name.csv" 2>"$work/$name-report.txt"
}
replay linux-x86_64 build/dist/tools/tarn-replay/tarn-replay

export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wineboot --init >"$work/wineboot.log" 2>&1
wineserver -w
replay windows-x86_64 wine "$work"/TarnHandCalibrationSDK-*-windows-x86_64/bin/tarn-replay.exe
replay linux-aarch64 qemu-aarch64 -L /usr/aarch64-linux-gnu "$work"/TarnHandCalibrationSDK-*-linux-aarch64/bin/tarn-replay

for name in windows-x86_64 linux-aarch64; do
  tr -d '\r' <"$work/$name-report.txt" | diff - "$work/linux-x86_64-report.txt"
  echo "$name tarn-replay: the Linux x86-64 report, $(wc -l <"$work/$name.csv") lines written"
done
cmp "$work/linux-aarch64.csv" "$work/linux-x86_64.csv"
echo "linux-aarch64 calibrated session: the Linux x86-64 one byte for byte"
