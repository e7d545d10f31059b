#!/usr/bin/env bash
# Makes the Windows packages from the programs of the MinGW cross build (build-windows/bin/):
# OUTDIR/quillmar-tools-<version>-windows.zip and OUTDIR/quillmar-tools-<version>-setup.exe.
# Both hold the same files: the four programs, README.txt, the manual pages as HTML, rendered
# for Windows from man/, and the VS Code extension in editors\: OUTDIR's
# quillmar-schedule-<version>.vsix, built there first when it is missing (scripts/build-vsix.sh).
# Usage: windows-packages.sh OUTDIR (made if missing).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
out=$(mkdir -p "$1" && cd "$1" && pwd)
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "windows-packages: no version in CMakeLists.txt" >&2; exit 1; }
programs=(planprobe tildeconv quillmar-update QUILLmar_Update)

name=quillmar-tools-$version-windows
stage=$out/$name
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/manual" "$stage/editors"
vsix=$out/quillmar-schedule-$version.vsix
[[ -f $vsix ]] || bash scripts/build-vsix.sh "$out"
cp "$vsix" "$stage/editors/"
for program in "${programs[@]}"; do
  cp "build-windows/bin/$program.exe" "$stage/"
  # The Windows text (the pages' register `windows`), links between the pages, and no creation
  # date, so the same sources give the same file.
  groff -man -Thtml -ww -rwindows=1 "man/$program.1" |
    sed -e '/^<!-- CreationDate: /d' \
      -e 's#<b>\(planprobe\|tildeconv\|quillmar-update\|QUILLmar_Update\)</b>(1)#<a href="\1.html"><b>\1</b>(1)</a>#g' \
      >"$stage/manual/$program.html"
done
# Windows line ends, so Notepad of any age shows the lines.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"

(cd "$out" && zip -q -r -X "$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/quillmar-tools-$version-setup.exe" \
  "$root/packaging/windows/quillmar-tools.nsi"
rm -rf "$stage"
