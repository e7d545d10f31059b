#!/usr/bin/env bash
# Builds the release packages into build/packages/: the Debian package (CPack) from the default
# build, and the Windows zip and setup program (the four self-contained programs, README.txt and
# the manuals as HTML; scripts/windows-packages.sh) from the MinGW cross build, and the VS Code
# extension (scripts/build-vsix.sh), which the Windows packages carry too. The version is the one
# of the top CMakeLists.txt.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
bash scripts/setup.sh
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
out=$root/build/packages
rm -rf "$out"

echo "== Debian package"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
(cd build && cpack -G DEB -B "$out")
rm -rf "$out/_CPack_Packages"
deb=$(ls "$out"/quillmar-tools_"$version"_*.deb)
dpkg-deb --field "$deb"

echo "== VS Code extension"
bash scripts/build-vsix.sh "$out"

echo "== Windows zip and setup program"
programs=(planprobe tildeconv quillmar-update QUILLmar_Update)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target "${programs[@]}"
exes=()
for program in "${programs[@]}"; do exes+=("build-windows/bin/$program.exe"); done
bash scripts/windows-imports.sh "${exes[@]}"
bash scripts/windows-packages.sh "$out"
zip -sf "$out/quillmar-tools-$version-windows.zip"
echo "package: built $(cd "$out" && ls)"
