#!/usr/bin/env bash
# Prints the project version, x.y.z, from project(... VERSION x.y.z) in the
# root CMakeLists.txt: the one place it is set. The headers are checked
# against it by the build (cmake/Version.cmake); the DLLs' version
# resources, the .so names, the Debian packages, the wheel and the Unity
# package take it from there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -nE 's/^project\([A-Za-z_]+ VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' "$root/CMakeLists.txt")
[[ -n "$version" ]] || { echo "no project(... VERSION x.y.z) in $root/CMakeLists.txt" >&2; exit 1; }
echo "$version"
