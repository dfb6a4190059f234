#!/usr/bin/env bash
# Installs the Debian packages of the named lists that are not installed yet
# (apt-get update first, only when something is missing):
#   tools/install-deps.sh main            the library and tarn-replay
#   tools/install-deps.sh main release    + what tools/release.sh needs
#   tools/install-deps.sh main release tests   + what the tests need
# Each list is tools/debian-packages/<name>.txt. A package named like a
# command the machine already runs counts as there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
(($#)) || { echo "usage: $0 LIST..." >&2; exit 2; }
missing=()
for list in "$@"; do
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    # A tool the machine already has from elsewhere (npm beside the machine's
    # own Node.js, say) is not installed again: Debian's would conflict.
    [[ "$pkg" != lib* ]] && command -v "$pkg" >/dev/null 2>&1 && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done < "$here/debian-packages/$list.txt"
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
