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

# Every Wine command of the current prefix starts through this (see nodev).
via=()

# Runs a Windows program under Wine with a time limit; extra output of Wine itself is kept out.
wrun() {
  local limit=$1
  shift
  "${via[@]}" timeout --kill-after=10 "$limit" wine "$@"
}

# nodev COMMAND...: runs COMMAND in a mount namespace whose /dev has no ttyS* devices. Wine maps
# the machine's own /dev/ttyS* as its first free COM ports by itself (an empty value in its Ports
# key only moves them to the next free number), so a prefix whose only ports are the ones it is
# given runs all its Wine commands, its server too, through this.
nodev() {
  unshare -m --propagation private bash -c '
    old=$1
    shift
    mount --rbind /dev "$old" && mount -t tmpfs none /dev || exit 125
    for entry in "$old"/*; do [[ ${entry##*/} == ttyS* ]] || ln -s "$entry" /dev/; done
    exec "$@"' nodev "$work/dev" "$@"
}

work=$(mktemp -d /tmp/quillmar-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=
cleanup() {
  timeout 20 wineserver -k 2>/dev/null || true
  [[ -z ${sim_pid:-} ]] || kill "$sim_pid" 2>/dev/null || true # a failed step leaves it running
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== Windows cross-build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
bin=$root/build-windows/bin
bash scripts/windows-imports.sh "$bin"/*.exe || fail "a program needs DLLs beyond the system's"
# Each console program's version record (Explorer's Details tab): the product, what the program
# is, and the project's version, in figures and as text.
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
for program in planprobe tildeconv quillmar-update; do
  record=$(x86_64-w64-mingw32-windres -i "$bin/$program.exe" -O rc | sed -n '/VERSIONINFO/,/^END/p')
  for line in " FILEVERSION ${version//./, }, 0" "VALUE \"ProductName\", \"QUILLmar PC tools\"" \
    "VALUE \"FileDescription\", \"QUILLmar " "VALUE \"FileVersion\", \"$version\"" \
    "VALUE \"ProductVersion\", \"$version\"" "VALUE \"OriginalFilename\", \"$program.exe\""; do
    [[ $record == *"$line"* ]] || fail "$program.exe's version record lacks '$line': $record"
  done
done
echo "ok: planprobe.exe, tildeconv.exe and quillmar-update.exe carry version $version"

echo "== virtual display and Wine prefix"
# Wine's desktop process starts with the first program, so the display is there from the start.
display=
for n in $(seq 90 120); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || { display=:$n; break; }
done
[[ -n $display ]] || fail "no free X display number"
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
[[ -e /tmp/.X11-unix/X${display#:} ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
# Wine opens devices in its server. Run by root it would pass over another program's exclusive
# hold on a terminal (root may ignore that), so it runs without the privilege that allows it.
# start_server [PRIVILEGES]: PRIVILEGES ("-name,-name") are further ones it runs without.
start_server() {
  local server=(wineserver --persistent)
  [[ $(id -u) != 0 ]] || server=(setpriv --bounding-set "-sys_admin${1:+,$1}" "${server[@]}")
  # Its list of objects left at the end goes to a log of its own.
  "${via[@]}" timeout 30 "${server[@]}" >>"$work/wineserver.log" 2>&1 || fail "wineserver did not start"
}
# restart_server [PRIVILEGES]: ends the running server and starts another; later programs use it.
restart_server() {
  timeout 30 wineserver --kill || true
  timeout 30 wineserver --wait || true
  start_server "$@"
}
# make_prefix DIR REGFILE: a new Wine prefix in DIR, made current, with the settings of REGFILE
# (a REGEDIT4 file) in its registry and its server running. Through nodev when `via` says so.
make_prefix() {
  export WINEPREFIX=$1
  mkdir -p "$WINEPREFIX" "$work/dev"
  start_server
  "${via[@]}" timeout 300 wineboot --init >"$WINEPREFIX.wineboot.log" 2>&1 ||
    fail "wineboot did not finish (see $WINEPREFIX.wineboot.log)"
  (cd "$(dirname "$2")" && wrun 60 reg import "$(basename "$2")") ||
    fail "cannot import $2 into the Wine registry"
  restart_server # the settings are read when Wine starts again
  # The first program starts Wine's services; programs started side by side before that can hang.
  wrun 120 reg query 'HKLM\Software\Wine\Ports' >/dev/null || fail "Wine does not start in $WINEPREFIX"
}
# Wine's COM1 and COM2 are links in $work, pointed at the simulator's pseudo-terminal later.
# Windows show in one virtual desktop that fills the display, with Wine's own frames and captions.
cat >"$work/main.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Ports]
"COM1"="$work/com1"
"COM2"="$work/com2"
"COM3"="$work/com3"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="800x600"
REG
make_prefix "$work/prefix" "$work/main.reg"
wrun 60 reg query 'HKLM\Software\Wine\Ports' /v COM1 | grep -q "$work/com1" ||
  fail "Wine's COM1 is not set to $work/com1"

echo "== unit tests of the Windows build under Wine"
ctest --preset windows --timeout 120

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
# planprobe: a log that is the schedule itself, in any spelling Windows takes for it, is refused.
echo 'D:01.01.00 T:12:30 P:DAY R:1 E:ON 1:1' >schedule.txt
cp schedule.txt kept.txt
ln schedule.txt hard.txt
for log in SCHEDULE.TXT '.\schedule.txt' 'sub\..\schedule.txt' hard.txt; do
  mkdir -p sub
  status=0
  wrun 60 "$bin/planprobe.exe" -sschedule.txt "-o$log" -p </dev/null >console.txt || status=$?
  [[ $status == 255 ]] || fail "planprobe.exe -o$log exited with $status"
  grep -q 'is the schedule file schedule.txt itself' console.txt || fail "planprobe.exe -o$log: $(cat console.txt)"
  cmp -s schedule.txt kept.txt || fail "planprobe.exe -o$log changed the schedule"
done
# planprobe: --version, and --summary --timeline put the page in place of an old one.
wrun 60 "$bin/planprobe.exe" --version </dev/null >console.txt || fail "planprobe.exe --version exited with $?"
[[ $(tr -d '\r' <console.txt) == "planprobe 1.0.0" ]] || fail "planprobe.exe --version: $(cat console.txt)"
cp "$root/examples/planprobe-schedule.txt" example.txt
echo 'an old page' >page.html
wrun 120 "$bin/planprobe.exe" -sexample.txt -oexample.log -d072402 +d2 --summary --timeline page.html \
  </dev/null >console.txt || fail "planprobe.exe --summary --timeline exited with $?"
# Read from the file: grep -q that leaves a pipe early can fail the writer under pipefail.
grep -q '^33 valid line(s), 0 faulty line(s); simulated 2 day(s)' console.txt ||
  fail "planprobe.exe --summary: $(tail -c 600 console.txt)"
grep -q 'ElvaneOn: 1' page.html && tail -c 20 page.html | grep -q '</html>' ||
  fail "planprobe.exe --timeline wrote no whole page: $(head -c 300 page.html)"
if ls -A | grep -q '^\.replacing-'; then fail "planprobe.exe --timeline left a temporary file"; fi
# tildeconv: the converted page and its counts.
printf 'a<!--~-->b~c' >page.htm
wrun 60 "$bin/tildeconv.exe" page.htm >console.txt || fail "tildeconv.exe exited with $?"
[[ $(tr -d '\r' <console.txt) == "page.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde." ]] ||
  fail "tildeconv.exe console: $(cat console.txt)"
[[ $(cat page.syn) == 'a~b~~c' ]] || fail "tildeconv.exe output: $(cat page.syn)"
# tildeconv: a missing page and a folder are refused with the system's reason; no output is made.
mkdir dir.htm
for name in absent dir; do
  if wrun 60 "$bin/tildeconv.exe" $name.htm >console.txt; then fail "tildeconv.exe $name.htm succeeded"; fi
  grep -q "^Couldn't open source file: [A-Z]" console.txt && [[ ! -e $name.syn ]] ||
    fail "tildeconv.exe $name.htm: $(cat console.txt)"
done
# Names outside ASCII and outside the ANSI code page: the programs' manifests make UTF-8 their
# code page, so arguments and files keep such names, and redirected output shows them in UTF-8.
cp example.txt Łódź.txt
wrun 120 "$bin/planprobe.exe" -sŁódź.txt -oŁódź.log -d072402 +d2 --summary --timeline Łódź.html \
  </dev/null >console.txt || fail "planprobe.exe -sŁódź.txt -oŁódź.log exited with $?"
grep -q '^Reading Łódź.txt and writing results to Łódź.log.' console.txt ||
  fail "planprobe.exe -sŁódź.txt console: $(head -c 600 console.txt)"
cmp -s Łódź.log example.log || fail "planprobe.exe -sŁódź.txt -oŁódź.log wrote another log than the same run under ASCII names"
grep -q '<title>planprobe timeline: &#321;&#243;d&#378;.txt</title>' Łódź.html && tail -c 20 Łódź.html | grep -q '</html>' ||
  fail "planprobe.exe --timeline Łódź.html: $(head -c 300 Łódź.html)"
cp Łódź.txt kept.txt
# The log refused as the schedule itself, spelt in capitals outside ASCII.
status=0
wrun 60 "$bin/planprobe.exe" -sŁódź.txt -oŁÓDŹ.TXT -p </dev/null >console.txt || status=$?
[[ $status == 255 ]] && grep -q 'The results file ŁÓDŹ.TXT is the schedule file Łódź.txt itself' console.txt ||
  fail "planprobe.exe -oŁÓDŹ.TXT exited with $status: $(cat console.txt)"
cmp -s Łódź.txt kept.txt || fail "planprobe.exe -oŁÓDŹ.TXT changed the schedule"
echo "ok: planprobe.exe -sŁódź.txt -oŁódź.log --timeline Łódź.html"
printf 'a<!--~-->b~c' >Łódź.htm
wrun 60 "$bin/tildeconv.exe" Łódź.htm >console.txt || fail "tildeconv.exe Łódź.htm exited with $?"
[[ $(tr -d '\r' <console.txt) == "Łódź.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde." ]] ||
  fail "tildeconv.exe Łódź.htm console: $(cat console.txt)"
[[ $(cat Łódź.syn) == 'a~b~~c' ]] || fail "tildeconv.exe Łódź.htm output: $(cat Łódź.syn)"
# On Wine's console (a terminal here, which Wine drives with cursor moves between the parts of
# the line) the name shows as itself too.
LC_ALL=C.UTF-8 timeout 60 script -qec "wine '$bin/tildeconv.exe' Łódź.htm" /dev/null </dev/null >console.txt ||
  fail "tildeconv.exe Łódź.htm on the console exited with $?"
grep -q 'Łódź.syn' console.txt && grep -q 'Replaced 1 feedback tilde.' console.txt ||
  fail "tildeconv.exe Łódź.htm on the console: $(cat -v console.txt)"
echo "ok: tildeconv.exe Łódź.htm writes Łódź.syn and names it, redirected and on the console"
cd "$root"

echo "== quillmar-update.exe under Wine against the simulated unit"
cmake --build --preset default --target quillmar-bootsim quillmar-update >/dev/null
sim=$root/build/bin/quillmar-bootsim
sim_pid=
# start_sim ARGS...: starts the simulator and points COM1, COM2 and (in the prefix of one
# adapter) COM5 at its pseudo-terminal.
start_sim() {
  # Emptied first: the started job opens its output only later, and the old device must not be read.
  : >"$work/sim.out"
  "$sim" "$@" >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
  [[ -s $work/sim.out ]] || fail "the simulator did not start: $(cat "$work/sim.err")"
  for port in com1 com2 com5; do ln -sfn "$(head -n 1 "$work/sim.out")" "$work/$port"; done
}
stop_sim() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}

# expect_run NAME STATUS OUT ERR SECONDS ARGS...: runs quillmar-update.exe in $run and compares
# its exit status and both streams (line ends as Windows writes them are taken as plain ones).
expect_run() {
  local name=$1 status=$2 out=$3 err=$4 limit=$5 got=0 streams=$work/streams.$BASHPID
  shift 5
  (cd "$run" && wrun "$limit" ./quillmar-update.exe "$@" >"$streams.out" 2>"$streams.err") || got=$?
  local gotout goterr
  gotout=$(tr -d '\r' <"$streams.out")
  goterr=$(tr -d '\r' <"$streams.err" | tail -n 1)
  [[ $got == "$status" && $gotout == "$out" && $goterr == "$err" ]] ||
    fail "$name: exit $got (wanted $status)
--- standard output:
$gotout
--- wanted:
$out
--- last line of standard error: $goterr
--- wanted: $err"
  echo "ok: $name"
}

cp "$bin/quillmar-update.exe" "$run/"
# A firmware image of 1000 bytes with the version marker at its start, as Intel HEX records.
python3 - "$run/quillmar.hex" <<'PY'
import sys
data = b"CVersion 1.10" + bytes((i * 7 + 3) & 0xFF for i in range(987))
with open(sys.argv[1], "w") as out:
    for at in range(0, len(data), 16):
        chunk = data[at:at + 16]
        record = bytes([len(chunk), at >> 8, at & 0xFF, 0]) + chunk
        out.write(":" + record.hex().upper() + "%02X\n" % (-sum(record) & 0xFF))
    out.write(":00000001FF\n")
PY

start_sim
# A port that does not exist: the link's message names it and lists the ports there are.
(cd "$run" && wrun 60 ./quillmar-update.exe --port '\\.\COM9' update >"$work/missing.out" 2>"$work/missing.err") &&
  fail "update on a missing port succeeded"
missing=$(tr -d '\r' <"$work/missing.err")
[[ $missing == *$'Opening serial port: Invalid handle retrieved opening port\n\\\\.\\COM9: no such device; serial ports on this computer: '*COM1,\ COM2* ]] ||
  fail "update on a missing port: $missing"
echo "ok: update on a missing port names it and lists the ports"
expect_run "update through COM1" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 update
expect_run "read through COM2" 0 $'Reading App to quillread.hex...\nRead Completed!' "" 600 --port COM2 read
# same_image A B: the two Intel HEX files hold the same flash (erased bytes as 0xFF).
same_image() {
  python3 - "$1" "$2" <<'PY'
import sys
def image(path):
    memory, base = bytearray(b"\xff" * 131072), 0
    for line in open(path):
        record = bytes.fromhex(line.strip()[1:])
        value = int.from_bytes(record[4:4 + record[0]], "big")
        if record[3] == 0:
            at = base + (record[1] << 8 | record[2])
            memory[at:at + record[0]] = record[4:4 + record[0]]
        elif record[3] in (2, 4):  # extended segment or linear address
            base = value << 4 if record[3] == 2 else value << 16
    return memory
sys.exit(image(sys.argv[1]) != image(sys.argv[2]))
PY
}
same_image "$run/quillmar.hex" "$run/quillread.hex" || fail "quillread.hex does not hold the image written"
expect_run "version" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' "" 120 version
# Folders outside ASCII, one in the ANSI code page (Jürgen) and one outside it (Łódź): --folder
# finds quillmar.hex and Read writes quillread.hex there (block transfers, for the time they save).
for name in Jürgen Łódź; do
  mkdir -p "$run/$name/firmware"
  cp "$run/quillmar.hex" "$run/$name/firmware/"
  expect_run "update with --folder $name\\firmware" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' \
    "" 600 --folder "$name\\firmware" update
  expect_run "read with --folder $name\\firmware" 0 $'Reading App to quillread.hex...\nRead Completed!' \
    "" 600 --block --folder "$name\\firmware" read
  same_image "$run/quillmar.hex" "$run/$name/firmware/quillread.hex" ||
    fail "$name\\firmware\\quillread.hex does not hold the image written"
done
# The program's own folder named Łódź, and --image and --output named outside ASCII.
cp "$run/quillmar-update.exe" "$run/quillmar.hex" "$run/Łódź/"
run=$run/Łódź expect_run "update from the program's folder Łódź" 0 \
  $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 update
expect_run "read with --output Łódź.hex" 0 $'Reading App to Łódź.hex...\nRead Completed!' "" 600 \
  --block --output Łódź.hex read
same_image "$run/quillmar.hex" "$run/Łódź.hex" || fail "Łódź.hex does not hold the image written"
expect_run "verify with --image Łódź.hex" 0 $'Verifying Data...\nVerify Completed!' "" 600 --block --image Łódź.hex verify
# A folder that is not there: the system's reason ends in one full stop, not two.
expect_run "read into a folder that is not there" 1 $'Reading App to quillread.hex...\nREAD FAILED!' \
  "Nothing was read from the unit." 60 --folder 'Łódź\absent' read
streams=$work/streams.$BASHPID # named here: a command substitution has a process number of its own
unwritable=$(tr -d '\r' <"$streams.err")
[[ $unwritable == $'"Łódź\\absent\\quillread.hex" cannot be written: Path not found.\nNothing was read from the unit.' ]] ||
  fail "the unwritable read-back: $unwritable"
echo "ok: the unwritable read-back is named with the system's reason"
expect_run "verify" 0 $'Verifying Data...\nVerify Completed!' "" 600 verify
expect_run "version with --port auto" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' \
  "--port auto: the boot loader answers on COM1" 120 --port auto version
# --list-ports: the COM names Wine maps, COM1 and COM2 among them, each with its device.
(cd "$run" && wrun 60 ./quillmar-update.exe --list-ports >"$work/ports.out") || fail "--list-ports exited with $?"
ports=$(tr -d '\r' <"$work/ports.out")
[[ $ports == *$'COM1  '?*$'\nCOM2  '?* ]] || fail "--list-ports: $ports"
echo "ok: --list-ports lists Wine's COM1 and COM2: $(echo "$ports" | head -n 2 | tr '\n' ';')"
expect_run "update with --block" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --block update
expect_run "version with --block" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' "" 120 --block version
stop_sim
# A unit that refuses the first block load: only --block sends one, and the failure names it.
start_sim --nack B:1
erased="The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed."
expect_run "a refused block with --block" 1 $'Programming QUILLmar Application...\nUPDATE FAILED!' "$erased" 120 --block update
grep -q "^block 0 (addresses 0x0000 - 0x00ff) failed to write" "$work/streams.$BASHPID.err" ||
  fail "the refused block is not named: $(cat "$work/streams.$BASHPID.err")"
echo "ok: the refused block is named"
expect_run "the same unit without --block" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 update
stop_sim

# A silent unit: the version query waits the whole 20-second reply time-out. Meanwhile the Linux
# quillmar-update waits on the same line and holds it exclusively, so Update cannot open the port.
start_sim --silent-after 0
began=$SECONDS
(expect_run "version from a silent unit" 1 $'Fetching version. Please wait...\nQUILLmar Version NONE' "" 120 version) &
silent=$!
sleep 3
"$root/build/bin/quillmar-update" --port "$work/com1" --folder "$work" version >/dev/null 2>&1 &
holder=$!
sleep 2
# The link's message ends with a line that names the port and the reason.
expect_run "update while another program holds the port" 1 $'Programming QUILLmar Application...\nUPDATE FAILED!' \
  "COM1: in use by another program; close that program or choose another port." 60 update
wait "$silent" || fail "the silent unit's case failed"
((SECONDS - began >= 20)) || fail "the silent unit was given up after $((SECONDS - began)) s, before 20 s"
wait "$holder" || true
stop_sim

echo "== image files as Windows tools save them, under Wine"
# quillread.hex, written by the read above, ends every line in CR LF, none doubled.
lines=$(wc -l <"$run/quillread.hex")
[[ $lines == 4082 && $(grep -c $'[^\r]\r$' "$run/quillread.hex") == "$lines" ]] ||
  fail "quillread.hex does not end its $lines lines in CR LF"
echo "ok: quillread.hex ends its lines in CR LF"
# quillmar.hex with CR LF line ends, saved with a UTF-8 byte-order mark (an editor's "UTF-8 with
# BOM") and as UTF-16 with its mark (PowerShell 5.1's `>`): each programs the image exactly, so
# the flash equals the one read back above.
python3 - "$run" <<'PY'
import os, sys
text = open(os.path.join(sys.argv[1], "quillmar.hex")).read().replace("\n", "\r\n")
saved = {"utf8": b"\xef\xbb\xbf" + text.encode(), "utf16": b"\xff\xfe" + text.encode("utf-16-le")}
for name, data in saved.items():
    os.makedirs(os.path.join(sys.argv[1], name), exist_ok=True)
    with open(os.path.join(sys.argv[1], name, "quillmar.hex"), "wb") as out:
        out.write(data)
PY
for how in utf8 utf16; do
  start_sim --dump "$work/flash.$how.hex"
  expect_run "quillmar.hex saved as $how with its mark" 0 \
    $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --block --folder $how update
  stop_sim # the simulator writes its flash as it ends
  # The whole flash has a boot section beyond the application region that Read saves.
  cmp -s <(tr -d '\r' <"$run/quillread.hex" | head -n -1) <(head -n $((lines - 1)) "$work/flash.$how.hex") ||
    fail "quillmar.hex saved as $how did not program the image exactly"
  echo "ok: quillmar.hex saved as $how programs the image exactly"
done
# A binary file named .hex is refused before the port opens.
head -c 1000 "$bin/quillmar-update.exe" >"$run/binary.hex"
expect_run "a binary file named .hex" 1 $'Programming QUILLmar Application...\nUPDATE FAILED!' \
  "Nothing was sent to the unit." 60 --image binary.hex update

echo "== QUILLmar_Update.exe under Wine on the virtual display"
shots=$root/build-windows/screenshots
rm -rf "$shots"
mkdir -p "$shots"
# The dialog's folder is named outside the ANSI code page, and it is started from another one:
# its Updates find quillmar.hex beside the program.
dialog=$work/Łódź
mkdir -p "$dialog"
cp "$bin/QUILLmar_Update.exe" "$run/quillmar.hex" "$dialog/"
main=(QUILLmar_Update 1004) # the main dialog, known by its status line
help=("QUILLmar Update Help" 1003)
about=("About QUILLmar_Update" 1)
box=(QUILLmar_Update 65535) # a message box's text (or, with none open, the dialog's group box)
# probe COMMAND WINDOW... [ARG]: dialog_probe (see its source) under Wine.
probe() {
  wrun 30 "$root/build-windows/tests/dialog_probe.exe" "$@"
}
shot() {
  timeout 30 import -window root "$shots/$1.png" || fail "cannot take the screenshot $1"
}
# wait_for WHAT SECONDS COMMAND...: retries COMMAND until it succeeds.
wait_for() {
  local what=$1 until=$((SECONDS + $2))
  shift 2
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < until)) || fail "gave up waiting for $what"
    sleep 0.5
  done
}
gone() { ! probe text "$@" >/dev/null; }
# has_status TEXT...: the main dialog's status line shows one of the texts.
has_status() {
  local status
  status=$(probe text "${main[@]}") || return 1
  for text in "$@"; do [[ $status == "$text" ]] && return 0; done
  return 1
}

start_sim
(cd "$work" && exec timeout 900 wine "$dialog/QUILLmar_Update.exe") >"$work/dialog.log" 2>&1 &
app=$!
wait_for "the help dialog at start-up" 60 probe text "${help[@]}"
sleep 1
shot 1-help
text=$(probe text "${help[@]}")
[[ $text == "QUILLmar software update instructions:"* && $text == *"For support, contact the supplier of your QUILLmar unit." ]] ||
  fail "the help text is not the instructions: $text"
echo "ok: the help dialog opens first, with the instructions"
probe key "${help[@]}" enter
wait_for "the help dialog to close" 30 gone "${help[@]}"
has_status "Connect Serial Cable and Click Update" || fail "the main dialog's status line: $(probe text "${main[@]}")"
sleep 1
shot 2-main
probe key "${main[@]}" enter
wait_for "Update to start" 30 has_status "Programming QUILLmar Application..." "Verifying Data..." "QUILLmar Updated!"
shot 3-updating
wait_for "Update to end" 600 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Enter ran Update, which ended with: $(probe text "${main[@]}")"
sleep 1
shot 4-updated
echo "ok: Enter runs Update against the simulated unit from a folder named Łódź: QUILLmar Updated!"

probe syscommand "${main[@]}" 16
wait_for "the about box" 30 probe text "${about[@]}"
sleep 1
shot 5-about
about_version=$(probe text "${about[0]}" 1007 | tr -d '\r')
[[ $about_version == "Firmware updater $version" ]] || fail "the about box's version line: $about_version"
probe key "${about[@]}" enter
wait_for "the about box to close" 30 gone "${about[@]}"
echo "ok: the system menu's about command opens the about box, with the version $version"

# Input during an operation is refused and leaves the keyboard where it was. The unit goes silent
# after its identifier, so Update waits out the 20-second reply time-out and then shows a box.
# Meanwhile the mouse clicks Cancel, click messages go to Com2 and Read, and Tab and the down
# arrow are typed; afterwards the focus, the default button and the checked port are unchanged,
# and Enter typed on the keyboard runs Update again, through to its end.
stop_sim
start_sim --silent-after 10
before=$(probe state "${main[@]}")
[[ $before == "focus 1 default 1 checked 1001" ]] || fail "the keyboard before the operation: $before"
probe type "${main[@]}" enter
wait_for "Update to start" 30 has_status "Programming QUILLmar Application..."
probe mouse "${main[@]}" 2
probe click "${main[@]}" 1002
probe click "${main[@]}" 1005
probe type "${main[@]}" tab
probe type "${main[@]}" down
shot 6-refused-input
has_status "Programming QUILLmar Application..." || fail "the input was not refused: $(probe text "${main[@]}")"
during=$(probe state "${main[@]}")
[[ $during == "$before" ]] || fail "refused input moved the keyboard: $during (was $before)"
# Each box of the failure is closed with Enter, until the outcome shows.
# With no box open, the text the box probe finds is the dialog's own group box.
no_box() { [[ $(probe text "${box[@]}") == "Com Port" ]]; }
box_or_failed() { has_status "UPDATE FAILED!" || ! no_box; }
until has_status "UPDATE FAILED!"; do
  wait_for "a message box or the failure" 60 box_or_failed
  has_status "UPDATE FAILED!" && break
  sleep 1
  shot 7-refused-box
  probe type "${box[@]}" enter
  wait_for "the message box to close" 30 no_box
done
sleep 1
after=$(probe state "${main[@]}")
[[ $after == "$before" ]] || fail "after the operation and its boxes the keyboard moved: $after (was $before)"
stop_sim
start_sim
probe type "${main[@]}" enter
wait_for "Enter to run Update" 30 has_status "Programming QUILLmar Application..." "Verifying Data..." "QUILLmar Updated!"
wait_for "Update to end" 600 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Enter after refused input ran: $(probe text "${main[@]}")"
sleep 1
shot 8-refused-then-updated
echo "ok: input refused during Update leaves focus, default button and port as they were; Enter then runs Update"

# With COM1 and COM2 present, Com1 is COM1 and Com2 is COM2; the port list shows the checked
# button's port. The arrow keys move between the two Com buttons (round, never on to Version), and
# the default button stays Update.
list_text() { probe text "${main[0]}" 1009; }
[[ $(list_text) == COM1\ * ]] || fail "Com1 does not stand for COM1: $(list_text)"
probe mouse "${main[@]}" 1001
probe type "${main[@]}" down
arrows=$(probe state "${main[@]}")
[[ $arrows == "focus 1002 default 1 checked 1002" && $(list_text) == COM2\ * ]] ||
  fail "the down arrow on Com1: $arrows, list $(list_text)"
probe type "${main[@]}" down
arrows=$(probe state "${main[@]}")
[[ $arrows == "focus 1001 default 1 checked 1001" && $(list_text) == COM1\ * ]] ||
  fail "the down arrow on Com2: $arrows, list $(list_text)"
echo "ok: Com1 is COM1, Com2 is COM2, the arrow keys move between them and Update stays the default"

# A third port chosen in the dialog and fast transfers switched on there, by mouse and keyboard:
# only COM3 reaches the unit, which counts the block loads ("B") and block reads ("g") it gets.
stop_sim
start_sim --tally "$work/tally.txt"
ln -sfn "$(head -n 1 "$work/sim.out")" "$work/com3"
ln -sfn /nonexistent "$work/com1"
ln -sfn /nonexistent "$work/com2"
probe mouse "${main[@]}" 1009
sleep 1
shot 12-port-list
probe type "${main[@]}" down
probe type "${main[@]}" down
probe type "${main[@]}" enter
[[ $(list_text) == COM3\ * ]] || fail "the list did not choose COM3: $(list_text)"
probe mouse "${main[@]}" 1010
chosen=$(probe state "${main[@]}")
[[ $chosen == "focus 1010 default 1 checked 1001" ]] || fail "after choosing in the list: $chosen"
probe type "${main[@]}" enter
wait_for "Update to start" 30 has_status "Programming QUILLmar Application..." "Verifying Data..." "QUILLmar Updated!"
shot 13-third-port-fast
wait_for "Update to end" 120 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Update on COM3 ended with: $(probe text "${main[@]}")"
took=$(probe text "${main[0]}" 1008)
[[ $took == "Took "* ]] || fail "the time line after Update: $took"
sleep 1
shot 14-third-port-updated
stop_sim
grep -q '^B [1-9]' "$work/tally.txt" && grep -q '^g [1-9]' "$work/tally.txt" ||
  fail "the unit got no block transfers: $(tr '\n' ' ' <"$work/tally.txt")"
echo "ok: COM3 chosen in the list and fast transfers checked: Enter updates in blocks ($(grep -E '^[Bg] ' "$work/tally.txt" | tr '\n' ' ')), $took"

# Com2 and Read while another program holds the line: the link's message, then READ FAILED!
stop_sim
start_sim --silent-after 0
"$root/build/bin/quillmar-update" --port "$work/com2" --folder "$work" version >/dev/null 2>&1 &
holder=$!
sleep 2
probe click "${main[@]}" 1002
probe click "${main[@]}" 1005
box_shows() { [[ $(probe text "${box[@]}" | tr -d '\r') == "$1" ]]; }
wait_for "the message box about the held port" 30 box_shows $'Opening serial port: Invalid handle retrieved opening port\nCOM2: in use by another program; close that program or choose another port.'
sleep 1
shot 9-port-held
probe key "${box[@]}" enter
wait_for "Read to end" 30 has_status "READ FAILED!"
sleep 1
shot 10-read-failed
echo "ok: Read on a port held by another program shows the link's message, then READ FAILED!"
wait "$holder" || true
stop_sim

probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe did not end cleanly after Escape (status $?)"
echo "ok: Escape ends the program; screenshots in $shots"

# QUILLmar_Update.exe --block: Update in block transfers, and a refused block load named in its
# box (a unit that refuses the first one; without --block no block load is sent).
start_sim
(cd "$work" && exec timeout 900 wine "$dialog/QUILLmar_Update.exe" --block) >"$work/dialog-block.log" 2>&1 &
app=$!
wait_for "the help dialog at start-up" 60 probe text "${help[@]}"
probe key "${help[@]}" enter
wait_for "the help dialog to close" 30 gone "${help[@]}"
probe key "${main[@]}" enter
wait_for "Update to start" 30 has_status "Programming QUILLmar Application..." "Verifying Data..." "QUILLmar Updated!"
wait_for "Update to end" 600 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Update with --block ended with: $(probe text "${main[@]}")"
echo "ok: QUILLmar_Update.exe --block updates the simulated unit: QUILLmar Updated!"
stop_sim
start_sim --nack B:1
probe key "${main[@]}" enter
wait_for "the box naming the refused block" 60 box_shows "block 0 (addresses 0x0000 - 0x00ff) failed to write"
sleep 1
shot 11-block-refused
probe key "${box[@]}" enter
until has_status "UPDATE FAILED!"; do
  wait_for "a message box or the failure" 60 box_or_failed
  has_status "UPDATE FAILED!" && break
  probe key "${box[@]}" enter
  wait_for "the message box to close" 30 no_box
done
echo "ok: QUILLmar_Update.exe --block names a refused block, then UPDATE FAILED!"
stop_sim
probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe --block did not end cleanly after Escape (status $?)"

# The dialog's files. An image chosen in the open dialog (raw binary, by its name .bin) is what
# Update programs; Read writes the file chosen in the save dialog; and where the program's folder
# can't be written, Read opens the save dialog in the user's Documents folder instead of failing.
files=$work/files
mkdir -p "$files"
python3 -c 'import sys; sys.stdout.buffer.write(b"CVersion 2.20" + bytes((i * 11 + 5) & 0xFF for i in range(2035)))' >"$files/firmware.bin"
windows_path() { echo "Z:${1//\//\\}"; }
opened=("Choose the image to program" 1)
saving=("Read the unit into" 1)
name_field=1148 # the file dialogs' file name box
# choose_file DIALOG... PATH: waits for the file dialog, types PATH as its file name and presses OK.
choose_file() {
  wait_for "the file dialog \"$1\"" 30 probe text "$1" "$2"
  sleep 1
  probe settext "$1" "$name_field" "$3" || fail "cannot type the file name into \"$1\""
  shot "18-$(tr ' ' - <<<"$1")"
  probe click "$1" "$2" 1
  wait_for "the file dialog to close" 30 gone "$1" "$2"
}
shows_file() { [[ $(probe text "${main[0]}" "$1") == *"$2" ]]; }
start_sim
(cd "$dialog" && exec timeout 900 wine ./QUILLmar_Update.exe) >"$work/dialog-files.log" 2>&1 &
app=$!
wait_for "the help dialog at start-up" 60 probe text "${help[@]}"
probe key "${help[@]}" enter
wait_for "the help dialog to close" 30 gone "${help[@]}"
shows_file 1020 '\quillmar.hex' && shows_file 1022 '\quillread.hex' ||
  fail "the file rows before a choice: $(probe text "${main[0]}" 1020), $(probe text "${main[0]}" 1022)"
probe click "${main[@]}" 1021
choose_file "${opened[@]}" "$(windows_path "$files/firmware.bin")"
shows_file 1020 '\firmware.bin' || fail "the chosen image is not shown: $(probe text "${main[0]}" 1020)"
probe key "${main[@]}" enter
wait_for "Update to end" 600 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Update of the chosen image ended with: $(probe text "${main[@]}")"
probe click "${main[@]}" 1006
wait_for "Version to end" 60 has_status "QUILLmar Version 2.20" "QUILLmar Version 1.10" "QUILLmar Version NONE"
has_status "QUILLmar Version 2.20" || fail "Update did not program the chosen image: $(probe text "${main[@]}")"
echo "ok: an image chosen in the open dialog is shown, and Update programs it (QUILLmar Version 2.20)"
probe click "${main[@]}" 1023
choose_file "${saving[@]}" "$(windows_path "$files/unit.bin")"
shows_file 1022 '\unit.bin' || fail "the chosen read-back file is not shown: $(probe text "${main[0]}" 1022)"
probe click "${main[@]}" 1005
wait_for "Read to end" 600 has_status "Read Completed!" "READ FAILED!"
has_status "Read Completed!" || fail "Read into the chosen file ended with: $(probe text "${main[@]}")"
[[ $(stat -c %s "$files/unit.bin") == 130560 ]] && cmp -s -n 2048 "$files/firmware.bin" "$files/unit.bin" ||
  fail "unit.bin does not hold the unit's image as raw binary"
sleep 1
shot 19-files-chosen
echo "ok: Read writes the file chosen in the save dialog, raw binary by its name"
probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe did not end cleanly after Escape (status $?)"
# A program folder the user can't write: root passes over that, so the program runs without the
# privilege that allows it.
# Wine links the user's Documents folder to the home folder; here it is a folder of the prefix.
documents=$WINEPREFIX/drive_c/users/$(id -un)/Documents
rm -f "$documents"
mkdir -p "$documents"
locked=$work/locked
mkdir -p "$locked"
cp "$bin/QUILLmar_Update.exe" "$run/quillmar.hex" "$locked/"
chmod 555 "$locked"
# Wine creates files in its server, so the server is started again without that privilege too.
as_user=()
if [[ $(id -u) == 0 ]]; then
  without=-dac_override,-dac_read_search,-fowner
  as_user=(setpriv --bounding-set "$without")
  restart_server "$without"
fi
(cd "$locked" && exec "${as_user[@]}" timeout 900 wine ./QUILLmar_Update.exe) >"$work/dialog-locked.log" 2>&1 &
app=$!
wait_for "the help dialog at start-up" 60 probe text "${help[@]}"
probe key "${help[@]}" enter
wait_for "the help dialog to close" 30 gone "${help[@]}"
probe click "${main[@]}" 1005
choose_file "${saving[@]}" fromlocked.hex
shows_file 1022 '\Documents\fromlocked.hex' || fail "Read's save dialog did not start in Documents: $(probe text "${main[0]}" 1022)"
wait_for "Read to end" 600 has_status "Read Completed!" "READ FAILED!"
has_status "Read Completed!" || fail "Read from a locked folder ended with: $(probe text "${main[@]}")"
[[ ! -e $locked/quillread.hex && -s $documents/fromlocked.hex ]] ||
  fail "Read did not write into Documents: $(ls "$locked" "$documents")"
sleep 1
shot 20-read-from-locked-folder
echo "ok: Read from a program folder that can't be written asks where to save, in Documents"
probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe in a locked folder did not end cleanly after Escape (status $?)"
chmod 755 "$locked"
[[ $(id -u) != 0 ]] || restart_server
stop_sim

# The command line of a shortcut: --help and --version on the standard output when it leads to a
# file (a message box otherwise), a bad option refused with status 2.
wrun 60 "$bin/QUILLmar_Update.exe" --help >"$work/help.txt" || fail "QUILLmar_Update.exe --help exited with $?"
grep -q -- '--com1 <PORT> .*Port behind Com1 (default: COM1 where this computer has' "$work/help.txt" ||
  fail "QUILLmar_Update.exe --help: $(cat "$work/help.txt")"
[[ $(wrun 60 "$bin/QUILLmar_Update.exe" --version | tr -d '\r') == "QUILLmar_Update $version" ]] ||
  fail "QUILLmar_Update.exe --version"
status=0
wrun 60 "$bin/QUILLmar_Update.exe" --com3 COM3 2>"$work/refused.txt" || status=$?
[[ $status == 2 ]] && grep -q "Unknown option 'com3'" "$work/refused.txt" ||
  fail "QUILLmar_Update.exe --com3: status $status, $(cat "$work/refused.txt")"
echo "ok: QUILLmar_Update.exe --help, --version and a refused option"

# Started as Explorer starts it on a double-click (start /unix: a console window of its own),
# quillmar-update.exe without a command keeps its window with the usage until a key is pressed.
# Redirected, or on a terminal (above), the programs end at once as before.
console_title="Z:${bin//\//\\}\\quillmar-update.exe"
wrun 60 start /wait /unix "$bin/quillmar-update.exe" </dev/null >/dev/null 2>&1 &
clicked=$!
wait_for "the console window of a double-clicked quillmar-update.exe" 30 probe text "$console_title" 0
sleep 3
kill -0 "$clicked" 2>/dev/null || fail "quillmar-update.exe double-clicked did not wait for a key"
shot 21-double-clicked-usage
probe key "$console_title" 0 space
status=0
wait "$clicked" || status=$?
[[ $status == 2 ]] || fail "quillmar-update.exe double-clicked ended with status $status after the key, not 2"
echo "ok: quillmar-update.exe double-clicked shows its usage until a key is pressed"

echo "== quillmar-update.exe in a prefix whose only port is COM5, a USB adapter"
# make_adapter_prefix: a new prefix, made current, whose only serial port is COM5 (pointed at the
# simulator by start_sim), which Windows' device list names as an FTDI adapter whose driver holds
# each reply 16 ms. The machine's own ports stay hidden (nodev) for every Wine command from here.
make_adapter_prefix() {
  local adapter='HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\FTDIBUS\VID_0403+PID_6001+A50285BIA\0000'
  timeout 30 wineserver --kill || true # the previous prefix's server
  via=(nodev)
  cat >"$work/adapter.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Ports]
"COM5"="$work/com5"

[$adapter]
"ClassGUID"="{4d36e978-e325-11ce-bfc1-08002be10318}"
"FriendlyName"="USB Serial Port (COM5)"

[$adapter\Device Parameters]
"PortName"="COM5"
"LatencyTimer"=dword:00000010

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="800x600"
REG
  make_prefix "$work/adapter-prefix" "$work/adapter.reg"
}
make_adapter_prefix
# The device list's name and IDs, not the device the name maps to; COM1..COM4 are not there.
(cd "$run" && wrun 60 ./quillmar-update.exe --list-ports >"$work/ports.out") || fail "--list-ports exited with $?"
ports=$(tr -d '\r' <"$work/ports.out")
[[ $ports == "COM5  USB Serial Port (USB 0403:6001, serial A50285BI)" ]] || fail "--list-ports with one adapter: $ports"
echo "ok: --list-ports names the adapter from the device list: $ports"
# The note on the adapter's latency timer, read from its driver's setting, and COM5 by name in
# any case; a COM name the computer does not have is named in the link's message.
setting="Lower it to 1 ms in the Device Manager: the port's Properties, Port Settings, Advanced, Latency Timer."
start_sim
expect_run "update through --port COM5" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' \
  "note: the USB serial adapter COM5 holds each reply 16 ms (its latency timer); over the 197381 replies of this operation that is about 53 min of waiting. --block needs 1032 replies. $setting" \
  600 --port COM5 update
expect_run "version through --port com5" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' \
  "note: the USB serial adapter COM5 holds each reply 16 ms (its latency timer); over the 4098 replies of this operation that is about 1.1 min of waiting. --block needs 35 replies. $setting" \
  120 --port com5 version
expect_run "version through --port com12" 1 $'Fetching version. Please wait...\nQUILLmar Version NONE' \
  "COM12: no such device; serial ports on this computer: COM5." 60 --port com12 version
stop_sim

echo "== QUILLmar_Update.exe in the prefix whose only port is COM5, a USB adapter"
# Enter on "Close Help" and Enter start Update on COM5; the adapter's 16 ms latency timer makes
# the dialog ask first whether to switch to fast transfers, and Enter (Yes) does, so the unit
# gets block loads and block reads.
start_sim --tally "$work/tally.txt"
(cd "$dialog" && "${via[@]}" timeout 900 wine ./QUILLmar_Update.exe) >"$work/dialog-com5.log" 2>&1 &
app=$!
wait_for "the help dialog at start-up" 60 probe text "${help[@]}"
probe key "${help[@]}" enter
wait_for "the help dialog to close" 30 gone "${help[@]}"
sleep 1
shot 15-com5-only
com5_list=$(list_text)
[[ $com5_list == "COM5  USB Serial Port (USB 0403:6001, serial A50285BI)" ]] ||
  fail "Com1 does not stand for the adapter on COM5: $com5_list"
probe key "${main[@]}" enter
question() { [[ $(probe text "${box[@]}") == "The USB serial adapter COM5 "* ]]; }
wait_for "the question about fast transfers" 30 question
sleep 1
shot 16-com5-question
asked=$(probe text "${box[@]}" | tr -d '\r')
[[ $asked == *"holds each reply 16 ms"*"the update takes about 5"*" min; with fast transfers about "*"Switch to fast transfers?" ]] ||
  fail "the question about fast transfers: $asked"
probe key "${box[@]}" enter
wait_for "Update to end" 600 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Enter, Enter on COM5 ended with: $(probe text "${main[@]}")"
sleep 1
shot 17-com5-updated
probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe did not end cleanly after Escape (status $?)"
stop_sim
grep -q '^B [1-9]' "$work/tally.txt" && grep -q '^g [1-9]' "$work/tally.txt" ||
  fail "the yes to fast transfers did not reach the unit: $(tr '\n' ' ' <"$work/tally.txt")"
echo "ok: with only the adapter on COM5 ($com5_list), Enter and Enter ask about its 16 ms, and yes updates in blocks"

echo "== the setup program: silent install and uninstall, per machine and per user"
bash scripts/windows-packages.sh "$work/packages" || fail "the Windows packages could not be made"
setup=$work/packages/quillmar-tools-$version-setup.exe
timeout 30 wineserver --kill || true # the previous prefix's server
via=()
# Wine would turn the Start menu's shortcuts into menu entries of this machine's desktop.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
# The user's PATH has entries of its own, an empty one among them, which must stay as they are.
cat >"$work/setup.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Environment]
"Path"="C:\\tools;;C:\\more tools"
REG
make_prefix "$work/setup-prefix" "$work/setup.reg"
drive=$WINEPREFIX/drive_c
machine_path='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
# reg_value KEY NAME: the value's data as reg query shows it, "" when it is not there.
reg_value() {
  wrun 60 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# drive_files: every file and folder of the prefix's drive C:, but for the temporary folders.
drive_files() { (cd "$drive" && find . -path '*/Temp' -prune -o -print | sort); }
drive_files >"$work/drive-before.txt"
machine_path_before=$(reg_value "$machine_path" Path)
user_path_before=$(reg_value 'HKCU\Environment' Path)
[[ $user_path_before == 'C:\tools;;C:\more tools' ]] || fail "the user's PATH to start with: $user_path_before"

# check_setup MODE ROOT FOLDER MENU ARGS...: installs silently with ARGS, checks what it
# installed into FOLDER (Windows path), the shortcuts in MENU (the Start menu's programs), the
# uninstall entry under ROOT (HKLM or HKCU) and the PATH entry, then uninstalls silently and
# checks that the prefix's files, the entry and PATH are as before.
check_setup() {
  local mode=$1 root_key=$2 folder=$3 menu=$4
  shift 4
  local key="$root_key\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QUILLmar tools"
  local path_key=$machine_path path_before=$machine_path_before
  [[ $root_key == HKLM ]] || { path_key='HKCU\Environment'; path_before=$user_path_before; }
  wrun 300 "$setup" /S "$@" || fail "$mode: the silent install exited with $?"
  local dir
  dir=$(wrun 30 winepath -u "$folder" | tr -d '\r')
  local file
  for file in planprobe.exe tildeconv.exe quillmar-update.exe QUILLmar_Update.exe; do
    cmp -s "$bin/$file" "$dir/$file" || fail "$mode: $folder\\$file is not the built program"
  done
  for file in README.txt uninstall.exe manual/planprobe.html manual/tildeconv.html \
    manual/quillmar-update.html manual/QUILLmar_Update.html; do
    [[ -s $dir/$file ]] || fail "$mode: no $folder\\$file"
  done
  [[ $(grep -c $'\r$' "$dir/README.txt") == $(wc -l <"$dir/README.txt") ]] || fail "$mode: README.txt has bare LF line ends"
  local shortcuts
  shortcuts=$(cd "$menu/QUILLmar tools" && ls | tr '\n' '|')
  [[ $shortcuts == "Command prompt for the QUILLmar tools.lnk|Manual - QUILLmar_Update.lnk|Manual - planprobe.lnk|Manual - quillmar-update.lnk|Manual - tildeconv.lnk|QUILLmar Update.lnk|README.lnk|" ]] ||
    fail "$mode: the Start menu's shortcuts: $shortcuts"
  local name wanted
  for name in DisplayName DisplayVersion Publisher InstallLocation UninstallString QuietUninstallString DisplayIcon; do
    case $name in
      DisplayName) wanted="QUILLmar tools" ;;
      DisplayVersion) wanted=$version ;;
      Publisher) wanted="QUILLmar tools team" ;;
      InstallLocation) wanted=$folder ;;
      UninstallString) wanted="\"$folder\\uninstall.exe\"" ;;
      QuietUninstallString) wanted="\"$folder\\uninstall.exe\" /S" ;;
      DisplayIcon) wanted="$folder\\QUILLmar_Update.exe,0" ;;
    esac
    [[ $(reg_value "$key" "$name") == "$wanted" ]] || fail "$mode: $name in $key is '$(reg_value "$key" "$name")', not '$wanted'"
  done
  local size
  size=$(reg_value "$key" EstimatedSize)
  ((size > 1000)) || fail "$mode: EstimatedSize in $key is '$size'"
  local path_now
  path_now=$(reg_value "$path_key" Path)
  [[ $path_now == "$path_before;$folder" ]] || fail "$mode: PATH after the install: $path_now"
  # The installed programs answer as themselves; planprobe.exe analyses the example.
  for name in planprobe tildeconv quillmar-update QUILLmar_Update; do
    [[ $(wrun 60 "$folder\\$name.exe" --version </dev/null | tr -d '\r') == "$name $version" ]] ||
      fail "$mode: $folder\\$name.exe --version"
  done
  mkdir -p "$work/installed"
  cp "$root/examples/planprobe-schedule.txt" "$work/installed/schedule.txt"
  (cd "$work/installed" && wrun 120 "$folder\\planprobe.exe" -d072402 +d2 --summary </dev/null >console.txt) ||
    fail "$mode: the installed planprobe.exe exited with $?"
  grep -q '^33 valid line(s), 0 faulty line(s); simulated 2 day(s)' "$work/installed/console.txt" &&
    grep -q 'ElvaneOn: 1' "$work/installed/out.txt" ||
    fail "$mode: the installed planprobe.exe: $(tail -c 600 "$work/installed/console.txt")"
  # A command prompt finds the programs through PATH (Wine reads it from the registry). Wine's
  # cmd ends its search at an empty entry, which the user's PATH has on purpose.
  if [[ $path_now != *';;'* ]]; then
    [[ $(cd "$work/installed" && wrun 60 cmd /c tildeconv --version </dev/null | tr -d '\r') == "tildeconv $version" ]] ||
      fail "$mode: tildeconv is not found through PATH: $(wrun 30 cmd /c echo %PATH%)"
  fi
  echo "ok: $mode: installed in $folder with its shortcuts, uninstall entry and PATH entry; the programs run"

  # The uninstaller goes on from a copy of itself in the temporary folder, so its end is awaited.
  wrun 120 "$dir/uninstall.exe" /S || fail "$mode: the silent uninstall exited with $?"
  local until=$((SECONDS + 60))
  while [[ -e $dir || -n $(reg_value "$key" DisplayName) ]]; do
    ((SECONDS < until)) || fail "$mode: the uninstall left $folder or $key"
    sleep 0.5
  done
  sleep 1
  drive_files | diff "$work/drive-before.txt" - >"$work/drive-diff.txt" ||
    fail "$mode: the uninstall left or removed files: $(cat "$work/drive-diff.txt")"
  path_now=$(reg_value "$path_key" Path)
  [[ $path_now == "$path_before" ]] || fail "$mode: PATH after the uninstall: $path_now"
  echo "ok: $mode: the silent uninstall removed the files, shortcuts, entry and PATH entry"
}
check_setup "per machine" HKLM 'C:\Program Files\QUILLmar tools' \
  "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs" /AddToPath
# Wine quotes an argument with a blank, and the setup program takes /D= only unquoted.
appdata=$(wrun 30 cmd /c echo %APPDATA% | tr -d '\r')
check_setup "per user" HKCU 'C:\users\Public\QUILLmar' \
  "$(wrun 30 winepath -u "$appdata" | tr -d '\r')/Microsoft/Windows/Start Menu/Programs" \
  /CurrentUser /AddToPath '/D=C:\users\Public\QUILLmar'

echo "wine-tests: all passed in $((SECONDS - started)) s."
