#!/usr/bin/env bash
# CI stage, after tools/release.sh: unpacks the Windows zip from dist/ and
# replays the sample session with its tarn-replay.exe under Wine, in a fresh
# Wine prefix, as a Windows user runs it from the unpacked folder. Its
# report must be the Linux build's (build/dist), line for line.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(realpath -m build/ci-windows-zip)
rm -rf "$work"
mkdir -p "$work"
unzip -q dist/TarnHandCalibrationSDK-*-windows-x86_64.zip -d "$work"
replay=("$work"/TarnHandCalibrationSDK-*-windows-x86_64/bin/tarn-replay.exe)

export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wineboot --init >"$work/wineboot.log" 2>&1
wineserver -w
wine "${replay[0]}" examples/sample-session.csv --out "$work/sample-calibrated.csv" 2>"$work/report.txt"
build/dist/tools/tarn-replay/tarn-replay examples/sample-session.csv --out "$work/linux-calibrated.csv" \
  2>"$work/linux-report.txt"
tr -d '\r' <"$work/report.txt" | diff - "$work/linux-report.txt"
cat "$work/linux-report.txt"
echo "tarn-replay.exe under Wine: the Linux build's report, $(wc -l <"$work/sample-calibrated.csv") lines written"
