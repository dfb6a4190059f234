#!/usr/bin/env bash
# Builds everything and runs every test: the command CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh main release tests
cmake --workflow --preset ci
# The Python wheel: built offline, installed into a fresh virtual
# environment, its tests and benchmark run against the installed package.
tools/ci-python.sh
# tarn-replay's HTML report of each sample in headless Chromium.
tools/ci-html-report.sh build/ci
# The Windows DLL, cross-built with mingw-w64; its tests run under Wine.
cmake --workflow --preset windows
# The Unity package: built from both builds, checked, and its own C# sources
# run against its own Linux libraries.
tools/ci-unity-package.sh build/ci build/windows
# Robustness: the whole suite under ASan + UBSan, each fuzz target for a
# minute after replaying its corpus, the whole suite under valgrind memcheck.
tools/ci-sanitizers.sh
tools/ci-fuzz.sh
tools/ci-valgrind.sh
# The release: every artifact into dist/ (tools/release.sh), then as users
# take them: the Debian packages installed on this machine with a consumer
# built against /usr, and the tarn-replay of the Windows zip and of the
# aarch64 archive replaying the sample under Wine and qemu.
tools/release.sh
tools/ci-debian-packages.sh
tools/ci-release-archives.sh
# Linux ARM 64-bit: the suite cross-built and run under qemu-aarch64.
cmake --workflow --preset aarch64
