#!/usr/bin/env bash
# Wine tests, stage installer: the Windows packages made from the cross-build, and the setup
# program's silent install and uninstall in a prefix of its own, per machine and per user.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cross_build

echo "== the setup program: silent install and uninstall, per machine and per user"
stage_folder installer
bash scripts/windows-packages.sh "$run/packages" || fail "the Windows packages could not be made"
setup=$run/packages/quillmar-tools-$version-setup.exe
# Wine would turn the Start menu's shortcuts into menu entries of this machine's desktop.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
# The user's PATH has entries of its own, an empty one among them, which must stay as they are.
use_prefix setup
drive=$WINEPREFIX/drive_c
machine_path='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
# reg_value KEY NAME: the value's data as reg query shows it, "" when it is not there.
reg_value() {
  wrun 60 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# drive_files: every file and folder of the prefix's drive C:, but for the temporary folders.
drive_files() { (cd "$drive" && find . -path '*/Temp' -prune -o -print | sort); }
drive_files >"$run/drive-before.txt"
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
  cmp -s "$run/packages/quillmar-schedule-$version.vsix" "$dir/editors/quillmar-schedule-$version.vsix" ||
    fail "$mode: $folder\\editors holds another VS Code extension than the one built"
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
  mkdir -p "$run/installed"
  cp "$root/examples/planprobe-schedule.txt" "$run/installed/schedule.txt"
  (cd "$run/installed" && wrun 120 "$folder\\planprobe.exe" -d072402 +d2 --summary </dev/null >console.txt) ||
    fail "$mode: the installed planprobe.exe exited with $?"
  grep -q '^33 valid line(s), 0 faulty line(s); simulated 2 day(s)' "$run/installed/console.txt" &&
    grep -q 'ElvaneOn: 1' "$run/installed/out.txt" ||
    fail "$mode: the installed planprobe.exe: $(tail -c 600 "$run/installed/console.txt")"
  # A command prompt finds the programs through PATH (Wine reads it from the registry). Wine's
  # cmd ends its search at an empty entry, which the user's PATH has on purpose.
  if [[ $path_now != *';;'* ]]; then
    [[ $(cd "$run/installed" && wrun 60 cmd /c tildeconv --version </dev/null | tr -d '\r') == "tildeconv $version" ]] ||
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
  drive_files | diff "$run/drive-before.txt" - >"$run/drive-diff.txt" ||
    fail "$mode: the uninstall left or removed files: $(cat "$run/drive-diff.txt")"
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
