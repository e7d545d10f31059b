#!/usr/bin/env bash
# Wine tests, stage dialog: QUILLmar_Update.exe on the virtual display against the simulated
# unit, driven by keyboard and mouse through dialog_probe, with screenshots in
# build-windows/screenshots/; and its command line as a shortcut gives it.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$wine_dir/dialog-lib.sh"
need_cross_build
need_sim
use_prefix main

echo "== QUILLmar_Update.exe under Wine on the virtual display"
stage_folder dialog
make_image "$run/quillmar.hex"
dialog_folder

start_sim
(cd "$run" && exec timeout 900 wine "$dialog/QUILLmar_Update.exe") >"$work/dialog.log" 2>&1 &
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

# The version question: the unit runs 1.12, the image is 1.10. Update asks in a native question
# box whose default button is No, so Enter leaves the unit as it was: no erase reaches it, its
# flash is what it held, and the status line says nothing changed.
make_image "$work/unit-1.12.hex" 1.12
start_sim --load "$work/unit-1.12.hex" --dump "$work/unit-after-no.hex" --tally "$work/tally-no.txt"
probe key "${main[@]}" enter
question="The unit has 1.12. The image is 1.10, older. Program the older version?"
wait_for "the version question" 300 box_shows "$question"
sleep 1
shot 15-version-question
asked=$(probe state "${box[@]}")
[[ $asked == "focus 7 default 7 checked 0" ]] || fail "the question's keyboard: $asked (No is button 7)"
probe type "${box[@]}" enter
wait_for "the refusal" 60 has_status "NOT UPDATED: NOTHING CHANGED" "UPDATE FAILED!"
has_status "NOT UPDATED: NOTHING CHANGED" || fail "Enter on the question ended with: $(probe text "${main[@]}")"
sleep 1
shot 16-not-updated
stop_sim
! grep -q '^e [1-9]' "$work/tally-no.txt" || fail "the unit was erased after No: $(tr '\n' ' ' <"$work/tally-no.txt")"
same_image "$work/unit-1.12.hex" "$work/unit-after-no.hex" || fail "the unit's flash changed after No"
echo "ok: an older image asks with No as the default: Enter leaves the unit unerased, NOT UPDATED: NOTHING CHANGED"

# Restore: an update from 1.09 to 1.10 goes ahead unasked and keeps a copy of 1.09, which
# Restore... lists first and, with Enter, programs back.
make_image "$work/unit-1.09.hex" 1.09
start_sim --load "$work/unit-1.09.hex" --dump "$work/unit-restored.hex"
probe key "${main[@]}" enter
wait_for "Update to end" 300 has_status "QUILLmar Updated!" "UPDATE FAILED!"
has_status "QUILLmar Updated!" || fail "Update from 1.09 ended with: $(probe text "${main[@]}")"
probe click "${main[@]}" 1013
wait_for "the kept copies" 30 probe text "Restore a Kept Copy" 1030
sleep 1
shot 17-restore-list
listed=$(probe text "Restore a Kept Copy" 1030 | tr -d '\r')
[[ $listed == *"   1.09   1024 bytes" ]] || fail "the newest kept copy: $listed"
probe key "Restore a Kept Copy" 1030 enter
wait_for "Restore to end" 300 has_status "QUILLmar Restored!" "RESTORE FAILED!"
has_status "QUILLmar Restored!" || fail "Restore ended with: $(probe text "${main[@]}")"
sleep 1
shot 21-restored
stop_sim
same_image "$work/unit-1.09.hex" "$work/unit-restored.hex" || fail "Restore did not program the kept copy"
echo "ok: Update keeps a copy of 1.09 before the erase; Restore lists it ($listed) and programs it back"

probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe did not end cleanly after Escape (status $?)"
echo "ok: Escape ends the program; screenshots in $shots"

# QUILLmar_Update.exe --block: Update in block transfers, and a refused block load named in its
# box (a unit that refuses the first one; without --block no block load is sent).
start_sim
(cd "$run" && exec timeout 900 wine "$dialog/QUILLmar_Update.exe" --block) >"$work/dialog-block.log" 2>&1 &
app=$!
close_help
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
