#!/usr/bin/env bash
# Wine tests, stage dialog-files: the files of QUILLmar_Update.exe under Wine, chosen in its open
# and save dialogs, and Read from a program folder that can't be written.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$wine_dir/dialog-lib.sh"
need_cross_build
need_sim
use_prefix main

echo "== QUILLmar_Update.exe's files under Wine"
stage_folder dialog-files
make_image "$run/quillmar.hex"
dialog_folder

# The dialog's files. An image chosen in the open dialog (raw binary, by its name .bin) is what
# Update programs; Read writes the file chosen in the save dialog; and where the program's folder
# can't be written, Read opens the save dialog in the user's Documents folder instead of failing.
files=$run/files
mkdir -p "$files"
python3 -c 'import sys; sys.stdout.buffer.write(b"CVersion 2.20" + bytes((i * 11 + 5) & 0xFF for i in range(2035)))' >"$files/firmware.bin"
# windows_path PATH: the Windows name of a file of this machine, on the drive Z: Wine gives it.
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
# shows_file ROW TEXT: the file row ROW of the main dialog ends in TEXT.
shows_file() { [[ $(probe text "${main[0]}" "$1") == *"$2" ]]; }
start_sim
(cd "$dialog" && exec timeout 900 wine ./QUILLmar_Update.exe) >"$work/dialog-files.log" 2>&1 &
app=$!
close_help
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
locked=$run/locked
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
close_help
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
