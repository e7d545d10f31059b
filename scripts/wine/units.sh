#!/usr/bin/env bash
# Wine tests, stage units: QUILLmar_Update.exe's "Several units" window in a prefix whose ports
# are two USB adapters, COM5 and COM6, each with a simulated unit of its own: both rows ticked
# from the start, one Update on both at once, a unit going silent that fails only its own row
# (in the row, with no message box), and Cancel asking before it stops a run.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$wine_dir/dialog-lib.sh"
need_cross_build
need_sim
use_prefix units

units=("Several units" 1041) # the window, known by its summary line
# row_text ROW CONTROL: the text of a row's control (2000 its tick box ... 2004 its outcome).
row_text() { probe text "${units[0]}" $((2000 + $1 * 8 + $2)) | tr -d '\r'; }
# summary_is TEXT: the window's summary line shows TEXT.
summary_is() { [[ $(probe text "${units[@]}") == "$1" ]]; }
# summary_shown: a run has ended and its summary shows.
summary_shown() { [[ -n $(probe text "${units[@]}") ]]; }
# row_running ROW: the row's status shows its unit at work.
row_running() { [[ -n $(row_text "$1" 3) ]]; }
# box_asks_stop: the open message box asks whether to stop the units.
box_asks_stop() { [[ $(probe text "${box[@]}") == "Stop the units still running?"* ]]; }
# start_run: presses Update and waits for the last run's summary to go, as the run starts.
start_run() {
  probe click "${units[0]}" 1 1
  wait_for "the run to start" 30 summary_is ""
}

echo "== QUILLmar_Update.exe's several units under Wine"
stage_folder units
make_image "$run/quillmar.hex"
dialog_folder
start_sim --dump "$work/unit5.hex"
start_sim2 --dump "$work/unit6.hex"
(cd "$run" && exec timeout 600 wine "$dialog/QUILLmar_Update.exe") >"$work/units.log" 2>&1 &
app=$!
close_help
# Fast transfers keep the stage short; the window takes them from the main dialog.
probe click "${main[@]}" 1010
probe click "${main[@]}" 1014
wait_for "the Several units window" 30 probe text "${units[@]}"
sleep 1
shot units-1-window
rows="$(row_text 0 0) $(row_text 0 1), $(row_text 1 0) $(row_text 1 1)"
[[ $rows == "COM5 USB Serial Port, COM6 USB Serial Port" ]] || fail "the rows: $rows"
[[ $(probe checked "${units[0]}" 2000) == 1 && $(probe checked "${units[0]}" 2008) == 1 ]] ||
  fail "the adapters are not ticked from the start"
probe click "${units[0]}" 2008 2008
[[ $(probe checked "${units[0]}" 2008) == 0 ]] || fail "a click did not untick COM6"
probe click "${units[0]}" 2008 2008
[[ $(probe checked "${units[0]}" 2008) == 1 ]] || fail "a click did not tick COM6 again"
echo "ok: the window lists COM5 and COM6 with their descriptions, both adapters ticked"

# Both units updated at once: each row says so, and so does the summary.
start_run
wait_for "the units to report" 30 row_running 1
shot units-2-running
wait_for "the run to end" 120 summary_shown
sleep 1
shot units-3-updated
for row in 0 1; do
  status=$(row_text $row 3) outcome=$(row_text $row 4)
  [[ $status == "QUILLmar Updated!" && $outcome == "OK, "* ]] ||
    fail "row $row after Update: status '$status', outcome '$outcome'"
done
summary_is "2 of 2 units updated" || fail "the summary: $(probe text "${units[@]}")"
stop_sim
stop_sim2
same_image "$run/quillmar.hex" "$work/unit5.hex" && same_image "$run/quillmar.hex" "$work/unit6.hex" ||
  fail "the units' flashes are not the image"
echo "ok: Update on both ticked units at once: $(row_text 0 4); $(row_text 1 4); 2 of 2 units updated"

# COM6's unit goes silent during its update: its row fails, COM5's succeeds, and no box opens.
start_sim
start_sim2 --silent-after 500
start_run
wait_for "the run to end" 120 summary_shown
no_box || fail "a message box opened for the failed unit: $(probe text "${box[@]}")"
sleep 1
shot units-4-one-failed
[[ $(row_text 0 3) == "QUILLmar Updated!" && $(row_text 0 4) == "OK, "* ]] ||
  fail "COM5 with COM6 silent: $(row_text 0 3), $(row_text 0 4)"
[[ $(row_text 1 3) == "UPDATE FAILED!" && $(row_text 1 4) == "FAILED"* ]] ||
  fail "the silent COM6: $(row_text 1 3), $(row_text 1 4)"
summary_is "1 of 2 units updated" || fail "the summary: $(probe text "${units[@]}")"
stop_sim
stop_sim2
echo "ok: a unit gone silent fails its own row ($(row_text 1 4)), the other is updated; 1 of 2 units updated, no message box"

# Cancel during a run asks first; No lets the units go on, Yes stops them. The units are slow
# here (the copy kept before the erase takes half a minute at 38400 bit/s), so both are still
# running when asked.
start_sim --baud 38400
start_sim2 --baud 38400
start_run
wait_for "the units to report" 30 row_running 1
probe click "${units[0]}" 2 2
wait_for "the question before stopping" 30 box_asks_stop
sleep 1
shot units-5-stop-question
probe click "${box[@]}" 7
wait_for "the question to close" 30 no_box
summary_is "" || fail "No stopped the run: $(probe text "${units[@]}")"
probe click "${units[0]}" 2 2
wait_for "the question before stopping" 30 box_asks_stop
probe click "${box[@]}" 6
wait_for "the stopped run to end" 60 summary_shown
sleep 1
shot units-6-stopped
for row in 0 1; do
  [[ $(row_text $row 4) == "Stopped"* ]] || fail "row $row after Yes: $(row_text $row 4)"
done
echo "ok: Cancel asks before stopping; No goes on, Yes stops both: $(row_text 0 4); $(probe text "${units[@]}")"
stop_sim
stop_sim2

# Idle, Cancel closes the window, and Escape then ends the program.
probe click "${units[0]}" 2 2
wait_for "the window to close" 30 gone "${units[@]}"
probe key "${main[@]}" escape
wait "$app" || fail "QUILLmar_Update.exe did not end cleanly after Escape (status $?)"
echo "ok: Cancel closes the idle window; screenshots in $shots"
