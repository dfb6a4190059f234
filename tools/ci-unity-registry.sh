#!/usr/bin/env bash
# CI stage: the Unity package through a scoped registry, as Unity's Package
# Manager reaches one (UPM speaks the npm registry protocol). Starts a local
# registry (verdaccio, from npm: tools/unity-registry), publishes the
# tarball tools/build-unity-package.sh made, installs it back with the npm
# client into an empty project and compares every file with the tarball.
#   tools/ci-unity-registry.sh TARBALL [WORK]   (WORK: build/unity-registry)
set -euo pipefail
cd "$(dirname "$0")/.."
tarball=$(realpath "$1")
work=$(realpath -m "${2:-build/unity-registry}")
version=$(tools/project-version.sh)
name=com.tarn.handcalibration
port=${TARN_REGISTRY_PORT:-4873}
registry=http://127.0.0.1:$port/

rm -rf "$work"
mkdir -p "$work/storage" "$work/project" "$work/expected"
(cd tools/unity-registry && npm ci --no-audit --no-fund --loglevel=error)
cat >"$work/config.yaml" <<YAML
storage: $work/storage
auth:
  htpasswd:
    file: $work/htpasswd
    max_users: -1
uplinks: {}
packages:
  '**':
    access: \$all
    publish: \$all
log: { type: stdout, format: pretty, level: warn }
YAML
tools/unity-registry/node_modules/.bin/verdaccio --config "$work/config.yaml" --listen "127.0.0.1:$port" \
  >"$work/verdaccio.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
ping() { node -e 'fetch(process.argv[1]).then((r) => process.exit(r.ok ? 0 : 1), () => process.exit(1))' "$registry-/ping"; }
for _ in $(seq 50); do
  ping && break
  sleep 0.2
done
ping || { cat "$work/verdaccio.log"; echo "the registry did not start" >&2; exit 1; }

# Publish as a host would, with a token the registry accepts for anyone.
npmrc=$work/npmrc
printf '//127.0.0.1:%s/:_authToken=ci\nregistry=%s\n' "$port" "$registry" >"$npmrc"
npm publish "$tarball" --userconfig "$npmrc" --ignore-scripts --loglevel=error
echo "published $name@$version to $registry"

# Install it back into an empty project and compare file for file.
(cd "$work/project" && echo '{"name": "unity-project", "private": true}' >package.json &&
  npm install "$name@$version" --userconfig "$npmrc" --ignore-scripts --no-audit --no-fund --loglevel=error)
tar -xzf "$tarball" -C "$work/expected"
diff -r "$work/expected/package" "$work/project/node_modules/$name" \
  || { echo "the package installed from the registry differs from the tarball" >&2; exit 1; }
count=$(find "$work/expected/package" -type f | wc -l)
echo "installed $name@$version back from the registry: $count files, each equal to the tarball's"
