#!/usr/bin/env bash
# The Unity package in CI, after the Linux and Windows builds: builds the
# tarball, checks it (tools/check-unity-package.mjs), publishes it to a
# local registry and installs it back (tools/ci-unity-registry.sh), then compiles the
# tarball's own C# sources and runs the per-frame benchmark against the
# tarball's own Linux libraries, found by their DllImport names.
#   tools/ci-unity-package.sh [LINUX_BUILD] [WINDOWS_BUILD] [OUT]
#   defaults: build/ci build/windows build/unity-package
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build/ci}
windows=${2:-build/windows}
out=${3:-build/unity-package}
version=$(tools/project-version.sh)

tarball=$(tools/build-unity-package.sh "$linux" "$windows" "$out")
echo "built $tarball"
node tools/check-unity-package.mjs "$tarball" bindings/csharp/package "$version"
# As Unity developers install packages from a scoped registry.
tools/ci-unity-registry.sh "$tarball" "$out/registry"

smoke=$out/smoke
rm -rf "$smoke"
mkdir -p "$smoke"
tar -xzf "$tarball" -C "$smoke"
mcs -nologo -warnaserror -out:"$smoke/FrameBench.exe" "$smoke"/package/Runtime/*.cs bindings/csharp/bench/FrameBench.cs
LD_LIBRARY_PATH="$smoke/package/Runtime/Plugins/Linux/x86_64" mono "$smoke/FrameBench.exe" 20000
