#!/usr/bin/env bash
# Wine tests, stage files: quillmar-update.exe under Wine with folders and file names outside
# ASCII, and image files as Windows tools save them (CR LF, byte-order marks, UTF-16, binary).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cross_build
need_sim
use_prefix main

echo "== quillmar-update.exe under Wine with names outside ASCII"
stage_folder files
cp "$bin/quillmar-update.exe" "$run/"
make_image "$run/quillmar.hex"

start_sim
# Folders outside ASCII, one in the ANSI code page (Jürgen) and one outside it (Łódź): --folder
# finds quillmar.hex and Read writes quillread.hex there (block transfers, for the time they save).
for name in Jürgen Łódź; do
  mkdir -p "$run/$name/firmware"
  cp "$run/quillmar.hex" "$run/$name/firmware/"
  expect_run "update with --folder $name\\firmware" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' \
    "" 600 --legacy --folder "$name\\firmware" update
  expect_run "read with --folder $name\\firmware" 0 $'Reading App to quillread.hex...\nRead Completed!' \
    "" 600 --block --folder "$name\\firmware" read
  same_image "$run/quillmar.hex" "$run/$name/firmware/quillread.hex" ||
    fail "$name\\firmware\\quillread.hex does not hold the image written"
done
# The program's own folder named Łódź, and --image and --output named outside ASCII.
cp "$run/quillmar-update.exe" "$run/quillmar.hex" "$run/Łódź/"
run=$run/Łódź expect_run "update from the program's folder Łódź" 0 \
  $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --legacy update
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
stop_sim

echo "== image files as Windows tools save them, under Wine"
# quillread.hex, written by a read above, ends every line in CR LF, none doubled.
read_back=$run/Jürgen/firmware/quillread.hex
lines=$(wc -l <"$read_back")
[[ $lines == 4082 && $(grep -c $'[^\r]\r$' "$read_back") == "$lines" ]] ||
  fail "quillread.hex does not end its $lines lines in CR LF"
echo "ok: quillread.hex ends its lines in CR LF"
# quillmar.hex with CR LF line ends, saved with a UTF-8 byte-order mark (an editor's "UTF-8 with
# BOM") and as UTF-16 with its mark (PowerShell 5.1's `>`): each programs the image exactly, so
# the flash equals the one read back above.
python3 "$wine_dir/save-as-windows.py" "$run"
for how in utf8 utf16; do
  start_sim --dump "$work/flash.$how.hex"
  expect_run "quillmar.hex saved as $how with its mark" 0 \
    $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --legacy --block --folder $how update
  stop_sim # the simulator writes its flash as it ends
  # The whole flash has a boot section beyond the application region that Read saves.
  cmp -s <(tr -d '\r' <"$read_back" | head -n -1) <(head -n $((lines - 1)) "$work/flash.$how.hex") ||
    fail "quillmar.hex saved as $how did not program the image exactly"
  echo "ok: quillmar.hex saved as $how programs the image exactly"
done
# A binary file named .hex is refused before the port opens.
head -c 1000 "$bin/quillmar-update.exe" >"$run/binary.hex"
expect_run "a binary file named .hex" 1 $'Programming QUILLmar Application...\nUPDATE FAILED!' \
  "Nothing was sent to the unit." 60 --image binary.hex update
