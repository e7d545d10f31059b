#!/usr/bin/env bash
# Wine tests, stage ports: which serial ports quillmar-update.exe and QUILLmar_Update.exe find
# under Wine and what they say of them: a missing port, --port auto, --list-ports, a port another
# program holds, and a prefix whose only port is COM5, a USB adapter.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$wine_dir/dialog-lib.sh"
need_cross_build
need_sim
use_prefix main

echo "== quillmar-update.exe's ports under Wine"
stage_folder ports
cp "$bin/quillmar-update.exe" "$run/"
make_image "$run/quillmar.hex"

# The unit holds the image, so a version query gets an answer.
start_sim --load "$run/quillmar.hex"
# A port that does not exist: the link's message names it and lists the ports there are.
(cd "$run" && wrun 60 ./quillmar-update.exe --port '\\.\COM9' update >"$work/missing.out" 2>"$work/missing.err") &&
  fail "update on a missing port succeeded"
missing=$(tr -d '\r' <"$work/missing.err")
[[ $missing == *$'Opening serial port: Invalid handle retrieved opening port\n\\\\.\\COM9: no such device; serial ports on this computer: '*COM1,\ COM2* ]] ||
  fail "update on a missing port: $missing"
echo "ok: update on a missing port names it and lists the ports"
expect_run "version with --port auto" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' \
  "--port auto: the boot loader answers on COM1" 120 --port auto version
# --list-ports: the COM names Wine maps, COM1 and COM2 among them, each with its device.
(cd "$run" && wrun 60 ./quillmar-update.exe --list-ports >"$work/ports.out") || fail "--list-ports exited with $?"
ports=$(tr -d '\r' <"$work/ports.out")
[[ $ports == *$'COM1  '?*$'\nCOM2  '?* ]] || fail "--list-ports: $ports"
echo "ok: --list-ports lists Wine's COM1 and COM2: $(echo "$ports" | head -n 2 | tr '\n' ';')"
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

echo "== quillmar-update.exe in a prefix whose only port is COM5, a USB adapter"
# A prefix whose only serial port is COM5 (pointed at the simulator by start_sim), which
# Windows' device list names as an FTDI adapter whose driver holds each reply 16 ms. The machine's
# own ports stay hidden (nodev) for every Wine command in it.
use_prefix adapter
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
  600 --legacy --port COM5 update
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
dialog_folder
(cd "$dialog" && "${via[@]}" timeout 900 wine ./QUILLmar_Update.exe) >"$work/dialog-com5.log" 2>&1 &
app=$!
close_help
sleep 1
shot 15-com5-only
com5_list=$(list_text)
[[ $com5_list == "COM5  USB Serial Port (USB 0403:6001, serial A50285BI)" ]] ||
  fail "Com1 does not stand for the adapter on COM5: $com5_list"
probe key "${main[@]}" enter
# question: the open box asks about fast transfers through the adapter on COM5.
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
