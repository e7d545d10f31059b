#!/usr/bin/env bash
# Builds the VS Code extension's package OUTDIR/quillmar-schedule-<version>.vsix (OUTDIR is
# build/packages/ unless given) from editors/vscode/, with the packager its lock file pins.
# The version is the project's, from the top CMakeLists.txt: it goes into the package's manifest
# only, so editors/vscode/package.json keeps 0.0.0 and holds no second copy that could drift.
# Each run installs the extension's packages afresh (npm ci) and replaces the .vsix.
# Usage: build-vsix.sh [OUTDIR]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
fail() {
  echo "build-vsix: $*" >&2
  exit 1
}
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no version in CMakeLists.txt"
command -v npm >/dev/null || fail "no npm on PATH: run scripts/setup.sh as root, or install Node.js 20 with npm"
node_major=$(node -p 'process.versions.node.split(".")[0]')
((node_major >= 20)) || fail "Node.js $(node --version) is too old: the packager (vsce 3) needs 20 or newer"
out=${1:-build/packages}
mkdir -p "$out"
vsix=$(cd "$out" && pwd)/quillmar-schedule-$version.vsix
rm -f "$vsix"

cd "$root/editors/vscode"
echo "build-vsix: installing the extension's packages (npm ci)"
npm ci --no-audit --no-fund --loglevel=error || fail "npm ci failed in editors/vscode"
echo "build-vsix: packaging version $version"
npx --no-install vsce package "$version" --no-update-package-json --no-git-tag-version \
  --allow-missing-repository --out "$vsix" || fail "vsce could not package the extension"
echo "build-vsix: built $vsix ($(du -k "$vsix" | cut -f1) KiB)"
