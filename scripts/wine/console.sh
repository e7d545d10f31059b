#!/usr/bin/env bash
# Wine tests, stage console: planprobe.exe and tildeconv.exe end to end, also with names outside
# ASCII, redirected and on Wine's console; quillmar-update.exe started as a double-click starts it.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cross_build
use_prefix main

echo "== console programs under Wine"
stage_folder console
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
# planprobe --lsp: frames count bytes, so its standard streams must not translate line ends.
python3 "$root/PlanProbe/tests/lsp_raw_frames_test.py" "${via[@]}" timeout 300 wine "$bin/planprobe.exe" \
  >lsp.txt 2>&1 || fail "planprobe.exe --lsp: $(grep -v '^ok' lsp.txt)"
echo "ok: planprobe.exe --lsp serves raw frames as on Linux, damaged ones and a 100 000-line schedule too"
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
