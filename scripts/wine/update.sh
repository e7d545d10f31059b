#!/usr/bin/env bash
# Wine tests, stage update: quillmar-update.exe under Wine against the simulated unit on Wine's
# COM1 and COM2: each operation, byte by byte and in blocks, and a unit that refuses a block, in
# the dialogue without the steps before the erase (--legacy); then the update that keeps what the
# unit ran, as a technician meets it: the copy in the user's data folder, the version gate,
# restore, the kept copies and the history.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cross_build
need_sim
use_prefix main

echo "== quillmar-update.exe under Wine against the simulated unit"
stage_folder update
cp "$bin/quillmar-update.exe" "$run/"
make_image "$run/quillmar.hex"

start_sim
expect_run "update through COM1" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --legacy update
expect_run "read through COM2" 0 $'Reading App to quillread.hex...\nRead Completed!' "" 600 --port COM2 read
same_image "$run/quillmar.hex" "$run/quillread.hex" || fail "quillread.hex does not hold the image written"
expect_run "version" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' "" 120 version
expect_run "verify" 0 $'Verifying Data...\nVerify Completed!' "" 600 verify
expect_run "update with --block" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --legacy --block update
expect_run "version with --block" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' "" 120 --block version
stop_sim
# A unit that refuses the first block load: only --block sends one, and the failure names it.
start_sim --nack B:1
erased="The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed."
expect_run "a refused block with --block" 1 $'Programming QUILLmar Application...\nUPDATE FAILED!' "$erased" 120 --legacy --block update
grep -q "^block 0 (addresses 0x0000 - 0x00ff) failed to write" "$work/streams.$BASHPID.err" ||
  fail "the refused block is not named: $(cat "$work/streams.$BASHPID.err")"
echo "ok: the refused block is named"
expect_run "the same unit without --block" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 --legacy update
stop_sim

# The steps before the erase, with the data folder where Windows keeps it for the user.
data=$(wrun 30 cmd /c echo %LOCALAPPDATA% | tr -d '\r')
backups=$(wrun 30 winepath -u "$data\\QUILLmar\\backups" | tr -d '\r')
rm -rf "$backups" "${backups%/backups}/history.jsonl"
make_image "$run/v112.hex" 1.12
start_sim --load "$run/v112.hex"
# safe_run NAME STATUS SECONDS ARGS...: runs quillmar-update.exe in $run; its streams are left in
# $work/safe.out and $work/safe.err (line ends made plain).
safe_run() {
  local name=$1 status=$2 limit=$3 got=0
  shift 3
  (cd "$run" && wrun "$limit" ./quillmar-update.exe "$@" >"$work/safe.out.raw" 2>"$work/safe.err.raw") || got=$?
  tr -d '\r' <"$work/safe.out.raw" >"$work/safe.out"
  tr -d '\r' <"$work/safe.err.raw" >"$work/safe.err"
  [[ $got == "$status" ]] || fail "$name: exit $got (wanted $status): $(cat "$work/safe.out" "$work/safe.err")"
}
# has STREAM TEXT: the stream's output of the last safe_run holds the line TEXT.
has() {
  grep -qxF -- "$2" "$work/safe.$1" || fail "no line \"$2\" in: $(cat "$work/safe.$1")"
}
safe_run "an older image" 3 600 update
has out "unit 1.12, image 1.10 (older)"
has out "NOT UPDATED: NOTHING CHANGED"
has err "the image is older than the unit's firmware (unit 1.12, image 1.10): nothing was changed; --allow-older programs it anyway"
[[ ! -e $backups ]] || [[ -z $(ls -A "$backups") ]] || fail "a refused update kept a copy"
echo "ok: an older image is refused before the erase, both versions named"
safe_run "an older image with --allow-older" 0 600 --allow-older update
grep -qE '^Kept a copy of the unit: C:\\users\\[^\\]+\\AppData\\Local\\QUILLmar\\backups\\[0-9-]{10}_[0-9]{6}_COM1_1\.12\.hex$' "$work/safe.out" ||
  fail "the copy is not named as kept in the user's data folder: $(cat "$work/safe.out")"
has out "QUILLmar Updated!"
kept=$(ls "$backups"/*_COM1_1.12.hex)
same_image "$run/v112.hex" "$kept" || fail "the kept copy is not the unit's 1.12"
echo "ok: --allow-older keeps the unit's 1.12 in %LOCALAPPDATA%\\QUILLmar\\backups, then programs 1.10"
safe_run "backups" 0 60 backups
grep -q "COM1 *1.12 *1024 " "$work/safe.out" || fail "backups does not list the copy: $(cat "$work/safe.out")"
safe_run "restore" 0 600 restore
has out "unit 1.10, image 1.12 (newer)"
has out "QUILLmar Restored!"
safe_run "version after restore" 0 120 version
has out "QUILLmar Version 1.12"
echo "ok: restore gives the unit its 1.12 back"
safe_run "history as JSON" 0 60 --json history
python3 -c '
import json, sys
records = json.load(open(sys.argv[1]))
got = [(r["operation"], r["versionBefore"], r["versionAfter"], r["exitStatus"]) for r in records]
want = [("update", "1.12", "1.12", 3), ("update", "1.12", "1.10", 0), ("restore", "1.10", "1.12", 0)]
sys.exit(0 if got == want else "history: %r" % got)' "$work/safe.out" || fail "the history is not the three operations"
echo "ok: the history holds the refusal, the update and the restore"
stop_sim
