#!/usr/bin/env bash
# Wine tests, stage cross-build: cross-builds the Windows programs into build-windows/bin/, and
# checks that they need no DLLs beyond the system's and carry the project's version record.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

echo "== Windows cross-build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
bash scripts/windows-imports.sh "$bin"/*.exe || fail "a program needs DLLs beyond the system's"
# Each console program's version record (Explorer's Details tab): the product, what the program
# is, and the project's version, in figures and as text.
for program in planprobe tildeconv quillmar-update; do
  record=$(x86_64-w64-mingw32-windres -i "$bin/$program.exe" -O rc | sed -n '/VERSIONINFO/,/^END/p')
  for line in " FILEVERSION ${version//./, }, 0" "VALUE \"ProductName\", \"QUILLmar PC tools\"" \
    "VALUE \"FileDescription\", \"QUILLmar " "VALUE \"FileVersion\", \"$version\"" \
    "VALUE \"ProductVersion\", \"$version\"" "VALUE \"OriginalFilename\", \"$program.exe\""; do
    [[ $record == *"$line"* ]] || fail "$program.exe's version record lacks '$line': $record"
  done
done
echo "ok: planprobe.exe, tildeconv.exe and quillmar-update.exe carry version $version"
