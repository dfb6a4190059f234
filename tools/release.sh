#!/usr/bin/env bash
# Builds every release artifact into dist/, with their SHA-256 sums in
# dist/SHA256SUMS (installs the Debian packages it needs first):
#   tarn-hand-calibration_<v>_amd64.deb       libraries and tarn-replay (CPack)
#   tarn-hand-calibration-dev_<v>_amd64.deb   headers, CMake package, pkg-config
#   TarnHandCalibrationSDK-<v>-linux-x86_64.tar.gz    `cmake --install` of each
#   TarnHandCalibrationSDK-<v>-linux-aarch64.tar.gz   build, with LICENSE and
#   TarnHandCalibrationSDK-<v>-windows-x86_64.zip     tools/release/README.txt
#   tarn_hand_calibration-<v>-py3-none-linux_x86_64.whl
#   com.tarn.handcalibration-<v>.tgz          the Unity package
# The builds are the presets dist, dist-windows and dist-aarch64 (no tests).
# Refuses to start while CHANGELOG.md has no section for the version.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
tools/install-deps.sh main release
version=$(tools/project-version.sh)
grep -q "^## \[$version\]" CHANGELOG.md || { echo "CHANGELOG.md has no section for $version" >&2; exit 1; }
dist=$root/dist
stage=$root/build/dist-stage
rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"

for preset in dist dist-windows dist-aarch64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

rm -rf build/dist/packages
(cd build/dist && cpack)
cp build/dist/packages/*.deb "$dist"

# archive <build> <platform> <tar.gz|zip>
archive() {
  local name=TarnHandCalibrationSDK-$version-$2
  cmake --install "$1" --prefix "$stage/$name" --strip >/dev/null
  cp LICENSE "$stage/$name"
  sed -e "s/@VERSION@/$version/" -e "s/@PLATFORM@/$2/" tools/release/README.txt >"$stage/$name/README.txt"
  case $3 in
    tar.gz) tar -C "$stage" --owner=0 --group=0 --numeric-owner --sort=name -czf "$dist/$name.tar.gz" "$name" ;;
    zip) (cd "$stage" && zip -qr "$dist/$name.zip" "$name") ;;
  esac
}
archive build/dist linux-x86_64 tar.gz
archive build/dist-aarch64 linux-aarch64 tar.gz
archive build/dist-windows windows-x86_64 zip

# The wheel carries the libraries of the Linux build.
rm -rf bindings/python/build bindings/python/*.egg-info
TARN_LIBRARY_DIR=$root/build/dist /usr/bin/python3 -m build --wheel --no-isolation --outdir "$dist" bindings/python >/dev/null
rm -rf bindings/python/build bindings/python/*.egg-info

cp "$(tools/build-unity-package.sh build/dist build/dist-windows build/dist-unity)" "$dist"

(cd "$dist" && sha256sum -- * >SHA256SUMS)
echo "dist/ ($version):"
(cd "$dist" && ls -l --block-size=K -- *)
