#!/usr/bin/env bash
# Wine tests, stage update: quillmar-update.exe under Wine against the simulated unit on Wine's
# COM1 and COM2: each operation, byte by byte and in blocks, and a unit that refuses a block.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cross_build
need_sim
use_prefix main

echo "== quillmar-update.exe under Wine against the simulated unit"
stage_folder update
cp "$bin/quillmar-update.exe" "$run/"
make_image "$run/quillmar.hex"

start_sim
expect_run "update through COM1" 0 $'Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!' "" 600 update
expect_run "read through COM2" 0 $'Reading App to quillread.hex...\nRead Completed!' "" 600 --port COM2 read
same_image "$run/quillmar.hex" "$run/quillread.hex" || fail "quillread.hex does not hold the image written"
expect_run "version" 0 $'Fetching version. Please wait...\nQUILLmar Version 1.10' "" 120 version
expect_run "verify" 0 $'Verifying Data...\nVerify Completed!' "" 600 verify
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
