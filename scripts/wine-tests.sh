#!/usr/bin/env bash
# Cross-builds the Windows programs and tests them under Wine: the unit tests of the Windows
# build, then the console programs end to end. Everything runs in a throw-away Wine prefix.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
started=$SECONDS

fail() {
  echo "wine-tests: FAILED: $*" >&2
  exit 1
}

# Runs a Windows program under Wine with a time limit; extra output of Wine itself is kept out.
wrun() {
  local limit=$1
  shift
  timeout --kill-after=10 "$limit" wine "$@"
}

work=$(mktemp -d /tmp/quillmar-wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  timeout 20 wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== Windows cross-build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
bin=$root/build-windows/bin
for exe in "$bin"/*.exe; do
  # Only system DLLs may be imported: the C++ runtime is linked in.
  extra=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' |
    grep -viE '^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|msvcrt|ws2_32|ntdll)\.dll$' || true)
  [[ -z $extra ]] || fail "$(basename "$exe") needs DLLs that Windows does not have: $extra"
done

echo "== Wine prefix"
timeout 300 wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot did not finish (see $work/wineboot.log)"

echo "== unit tests of the Windows build under Wine"
ctest --preset windows --timeout 300

echo "== console programs under Wine"
run=$work/run
mkdir -p "$run"
cd "$run"
# planprobe: the results log reaches the file with CR LF line ends, none doubled.
: >schedule.txt
wrun 60 "$bin/planprobe.exe" -a </dev/null >console.txt || fail "planprobe.exe -a exited with $?"
grep -q 'Analyze option used.  Stopping now.' console.txt || fail "planprobe.exe console: $(cat console.txt)"
grep -q $'Analyze option used. No simulation will be performed.\r$' out.txt || fail "planprobe.exe log has no CR LF ends"
if grep -q $'\r\r' out.txt; then fail "planprobe.exe log has doubled carriage returns"; fi
[[ $(grep -c $'[^\r]$' out.txt || true) == 0 ]] || fail "planprobe.exe log has bare LF line ends"
# tildeconv: the converted page and its counts.
printf 'a<!--~-->b~c' >page.htm
wrun 60 "$bin/tildeconv.exe" page.htm >console.txt || fail "tildeconv.exe exited with $?"
[[ $(tr -d '\r' <console.txt) == "page.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde." ]] ||
  fail "tildeconv.exe console: $(cat console.txt)"
[[ $(cat page.syn) == 'a~b~~c' ]] || fail "tildeconv.exe output: $(cat page.syn)"
cd "$root"

echo "wine-tests: all passed in $((SECONDS - started)) s."
