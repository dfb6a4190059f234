#!/usr/bin/env bash
# CI stage, after tools/release.sh: installs the two Debian packages from
# dist/ on this machine with dpkg, builds the consumer host project
# (tests/consumer/host) against /usr with nothing pointing at the packages,
# through the CMake package and through pkg-config, runs it and the
# installed tarn-replay on the sample session, then removes the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(tarn-hand-calibration-dev tarn-hand-calibration)
work=build/ci-debian-packages
rm -rf "$work"

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
$sudo dpkg -i dist/tarn-hand-calibration_*_amd64.deb dist/tarn-hand-calibration-dev_*_amd64.deb
trap '$sudo dpkg --purge "${packages[@]}"' EXIT
dpkg -L "${packages[@]}" | grep -E '\.(h|so|pc)$|Config\.cmake$|bin/tarn-replay$'

env -u CMAKE_PREFIX_PATH -u PKG_CONFIG_PATH cmake -S tests/consumer/host -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$work"
ctest --test-dir "$work" --output-on-failure --no-tests=error
/usr/bin/tarn-replay examples/sample-session.csv --out "$work/sample-calibrated.csv"
