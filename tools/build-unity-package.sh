#!/usr/bin/env bash
# Builds the Unity package com.tarn.handcalibration from the CMake builds and
# packs it with npm into the tarball Unity's Package Manager installs ("Add
# package from tarball").
#   tools/build-unity-package.sh [LINUX_BUILD] [WINDOWS_BUILD] [OUT]
#   defaults: build/ci build/windows build/unity-package
# LINUX_BUILD must hold libTarnCalibrator.so and libTarnHandCalibrationSDK.so
# (cmake --workflow --preset ci), WINDOWS_BUILD bin/TarnCalibrator.dll and
# bin/TarnHandCalibrationSDK.dll (cmake --preset windows, then its build).
# Prints the tarball's path. The package's version is the project's (the
# build refuses a package.json that says otherwise: cmake/Version.cmake).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(realpath -m "${1:-$root/build/ci}")
windows=$(realpath -m "${2:-$root/build/windows}")
out=$(realpath -m "${3:-$root/build/unity-package}")
name=com.tarn.handcalibration
src=$root/bindings/csharp/package
stage=$out/$name

version=$("$root/tools/project-version.sh")

# Each native library goes beside the .meta that selects its platforms.
plugins=(
  "$linux/libTarnCalibrator.so:Runtime/Plugins/Linux/x86_64/libTarnCalibrator.so"
  "$linux/libTarnHandCalibrationSDK.so:Runtime/Plugins/Linux/x86_64/libTarnHandCalibrationSDK.so"
  "$windows/bin/TarnCalibrator.dll:Runtime/Plugins/Windows/x86_64/TarnCalibrator.dll"
  "$windows/bin/TarnHandCalibrationSDK.dll:Runtime/Plugins/Windows/x86_64/TarnHandCalibrationSDK.dll"
)
for plugin in "${plugins[@]}"; do
  [[ -f "${plugin%%:*}" ]] || { echo "missing ${plugin%%:*}: build the Linux and Windows libraries first" >&2; exit 1; }
done

rm -rf "$stage"
mkdir -p "$out"
cp -R "$src" "$stage"
for plugin in "${plugins[@]}"; do
  # -L: the real file behind the .so symlink chain, under the name DllImport finds
  cp -L "${plugin%%:*}" "$stage/${plugin#*:}"
done

tarball=$out/$name-$version.tgz
rm -f "$tarball"
(cd "$out" && npm pack "./$name" --pack-destination "$out" --cache "$out/.npm-cache" --offline \
   --ignore-scripts --loglevel=error >/dev/null)
[[ -f "$tarball" ]] || { echo "npm pack did not write $tarball" >&2; exit 1; }
echo "$tarball"
