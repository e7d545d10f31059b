The safer update as a technician meets it, against the simulated unit: the versions checked
and a copy of the unit kept before the erase, the copy put back, the history, and what a script
sees. Standard error shows after "! ", the unit's device as <unit>; the times and the unit's
port in the copies' names and the tables show as <time> and <port>.

  $ source "$TRANSCRIPT_DIR/unit_helpers.sh"
  $ export XDG_DATA_HOME=$PWD/data; backups=$XDG_DATA_HOME/quillmar/backups
  $ mask() {
  >   sed -E -e "s|$PWD|<here>|g" -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}[ _T][0-9:]{6,8}([+-][0-9]{2}:[0-9]{2})?/<time>/g' \
  >     -e 's/<time>_pts-[0-9]+_/<time>_<port>_/g' -e 's/^(<time>  )pts-[0-9]+ +/\1<port>        /' \
  >     -e 's|/dev/pts/[0-9]+ +|<unit>      |' -e 's/ +[0-9]+ s  / <took>  /'
  > }
  $ runm() { run "$@" >masked.txt; local status=$?; mask <masked.txt; return $status; }
  $ ff() { head -c "$1" /dev/zero | tr '\0' '\377'; }
  $ firmware() {  # VERSION BYTES FILE: an image of BYTES bytes whose version is VERSION
  >   { printf 'CVersion %s' "$1"; seq -w 0 9999 | tr -d '\n' | tr 0 "${4:-0}"; } | head -c "$2" >"$3"
  > }
  $ firmware 1.12 1200 v112.bin; firmware 1.10 900 v110.bin; firmware 1.12 1200 v112b.bin 7
  $ { cat v112.bin; ff $((130560 - 1200)); } >unit112.bin; { cat v110.bin; ff $((130560 - 900)); } >unit110.bin

A unit with firmware 1.12 and an image 1.10: the update is refused before the erase, naming both
versions and the option that allows it; the unit's flash is as it was.

  $ unit --load v112.bin --dump after.bin --tally tally.txt; run --block --image v110.bin update
  Programming QUILLmar Application...
  unit 1.12, image 1.10 (older)
  NOT UPDATED: NOTHING CHANGED
  ! the image is older than the unit's firmware (unit 1.12, image 1.10): nothing was changed; --allow-older programs it anyway
  [3]
  $ cmp -n 130560 after.bin unit112.bin && echo "erases: $(grep -c '^e ' tally.txt)"
  erases: 0

With --allow-older it programs the image; restore then gives 1.12 back, byte for byte.

  $ unit --load v112.bin --dump after.bin; runm --block --allow-older --image v110.bin update
  Programming QUILLmar Application...
  unit 1.12, image 1.10 (older)
  Kept a copy of the unit: <here>/data/quillmar/backups/<time>_<port>_1.12.hex
  Verifying Data...
  QUILLmar Updated!
  $ cmp -n 130560 after.bin unit110.bin
  $ next_second() { local now=$(date +%s); until (($(date +%s) > now)); do sleep 0.05; done; }  # copies are named by the second
  $ next_second; unit --load after.bin --dump restored.bin; runm --block restore
  Restoring QUILLmar Application...
  unit 1.10, image 1.12 (newer)
  Kept a copy of the unit: <here>/data/quillmar/backups/<time>_<port>_1.10.hex
  Verifying Data...
  QUILLmar Restored!
  $ cmp -n 130560 restored.bin unit112.bin

The kept copies, newest first, and the history.

  $ quillmar-update backups | mask
  kept                 port          version   bytes  file
  <time>  <port>        1.10       1024  <time>_<port>_1.10.hex
  <time>  <port>        1.12       1280  <time>_<port>_1.12.hex
  in <here>/data/quillmar/backups
  $ quillmar-update history | mask
  when                 command   port            versions           took  result
  <time>  update    <unit>      1.12 -> 1.12 <took>  refused
  <time>  update    <unit>      1.12 -> 1.10 <took>  ok
  <time>  restore   <unit>      1.10 -> 1.12 <took>  ok

For a script, --json: one JSON object on standard output, the statuses on standard error.

  $ unit --load v112.bin; quillmar-update --port "$dev" --block --json --image v110.bin update >json.out 2>json.err; echo "[$?]"; wait $sim
  [3]
  $ sed "s|$dev|<unit>|" json.err
  Programming QUILLmar Application...
  unit 1.12, image 1.10 (older)
  the image is older than the unit's firmware (unit 1.12, image 1.10): nothing was changed; --allow-older programs it anyway
  NOT UPDATED: NOTHING CHANGED
  $ python3 -c 'import json,sys; r=json.load(sys.stdin); print(r["operation"], r["versionBefore"], r["versionAfter"], r["exitStatus"], r["dryRun"])' <json.out; wc -l <json.out
  update 1.12 1.12 3 False
  1
  $ quillmar-update history --json | python3 -c 'import json,sys; print([r["operation"] for r in json.load(sys.stdin)])'
  ['update', 'update', 'restore', 'update']

A dry run reads, says what would happen, and sends none of the commands that change the unit
(P enters programming mode, e erases, c C m B load and write).

  $ firmware 1.13 800 v113.bin
  $ for image in v113.bin v110.bin v112b.bin; do unit --load v112.bin --dump after.bin --tally tally.txt; runm --block --dry-run --image $image update
  >   echo "[$?]"; cmp -n 130560 after.bin unit112.bin && echo "flash unchanged"; grep -E '^(P|e|c|C|m|B) ' tally.txt || echo "none of them sent"; done
  Dry run: reading the unit...
  unit 1.12, image 1.13 (newer)
  The versions let the update go ahead.
  A copy of the unit would be kept in <here>/data/quillmar/backups as <time>_<port>_1.12.hex
  It would program 800 bytes in 4 pages (block transfers), about 35 s in all.
  Dry run: the update would go ahead
  [0]
  flash unchanged
  none of them sent
  Dry run: reading the unit...
  unit 1.12, image 1.10 (older)
  The image is older than the unit's firmware: the update would be refused unless allowed.
  A copy of the unit would be kept in <here>/data/quillmar/backups as <time>_<port>_1.12.hex
  It would program 900 bytes in 4 pages (block transfers), about 35 s in all.
  Dry run: the update would be refused
  [3]
  flash unchanged
  none of them sent
  Dry run: reading the unit...
  unit 1.12, image 1.12 (the same)
  The image has the unit's version: the update would be refused unless allowed.
  A copy of the unit would be kept in <here>/data/quillmar/backups as <time>_<port>_1.12.hex
  It would program 1200 bytes in 5 pages (block transfers), about 35 s in all.
  Dry run: the update would be refused
  [3]
  flash unchanged
  none of them sent

The same version with other bytes needs --allow-reinstall; an image the unit holds already is
not programmed again, unless --allow-reinstall asks for it.

  $ unit --load v112.bin; run --block --image v112b.bin update
  Programming QUILLmar Application...
  unit 1.12, image 1.12 (the same)
  NOT UPDATED: NOTHING CHANGED
  ! the image has the version of the unit's firmware (unit 1.12, image 1.12): nothing was changed; --allow-reinstall programs it again
  [3]
  $ unit --load v112.bin --tally tally.txt; run --block --image v112.bin update; echo "[$?] erases: $(grep -c '^e ' tally.txt)"
  Programming QUILLmar Application...
  unit 1.12, image 1.12 (the same)
  The unit already holds this image byte for byte: nothing was programmed.
  QUILLmar Already Holds This Image
  [0] erases: 0
  $ unit --load v112.bin --tally tally.txt; runm --block --allow-reinstall --image v112.bin update; echo "erases: $(grep -c '^e ' tally.txt)"
  Programming QUILLmar Application...
  unit 1.12, image 1.12 (the same)
  Kept a copy of the unit: <here>/data/quillmar/backups/<time>_<port>_1.12.hex
  Verifying Data...
  QUILLmar Updated!
  erases: 1

--legacy is the update as it always was: its statuses and commands, no copy, no record.

  $ ls $backups | wc -l; wc -l <$XDG_DATA_HOME/quillmar/history.jsonl
  3
  7
  $ unit --load v112.bin --tally legacy.txt; run --legacy --image v110.bin update
  Programming QUILLmar Application...
  Verifying Data...
  QUILLmar Updated!
  $ ls $backups | wc -l; wc -l <$XDG_DATA_HOME/quillmar/history.jsonl; cat legacy.txt
  3
  7
  0x1b 8
  A 11
  C 450
  L 2
  P 3
  R 450
  S 1
  a 1
  c 450
  e 1
  m 4

A unit without the version marker shows NONE, and the update goes ahead.

  $ seq 100000 199999 | tr -d '\n' | head -c 5000 >old.bin
  $ unit --load old.bin; runm --block --image v110.bin update
  Programming QUILLmar Application...
  unit NONE, image 1.10 (unknown)
  Kept a copy of the unit: <here>/data/quillmar/backups/<time>_<port>_NONE.hex
  Verifying Data...
  QUILLmar Updated!

A power cut while the copy is read leaves the unit unerased, and no copy is listed.

  $ ls $backups >before.txt
  $ unit --load v112.bin --dump after.bin --commands 40; run --block --image v113.bin update
  Programming QUILLmar Application...
  unit 1.12, image 1.13 (newer)
  UPDATE FAILED!
  ! The unit stopped answering while it was read before the update
  ! block 32 (addresses 0x2000 - 0x20ff) did not arrive whole.
  ! Nothing was erased.
  [1]
  $ cmp -n 130560 after.bin unit112.bin && ls $backups | cmp - before.txt

A data folder that can't be written stops the update before the port opens, naming the folder.
(Root writes anywhere: the update runs without that power.)

  $ mkdir -p ro/quillmar && chmod a-w ro/quillmar; ((EUID)) || as=(setpriv --bounding-set=-dac_override)
  $ unit --tally ro.txt; XDG_DATA_HOME=$PWD/ro "${as[@]}" quillmar-update --port "$dev" --block --image v110.bin update 2>&1 | mask
  >   echo "[${PIPESTATUS[0]}]"; : <>"$dev"; wait $sim; echo "commands received: $(wc -l <ro.txt)"
  Programming QUILLmar Application...
  No copy of the unit can be kept in <here>/ro/quillmar/backups: Permission denied.
  Nothing was sent to the unit.
  UPDATE FAILED!
  quillmar: the history <here>/ro/quillmar/history.jsonl cannot be written: cannot open: Permission denied
  [1]
  commands received: 0

Restore: a missing file and one that is no image are refused before the port opens, as is a
restore with no copy kept.

  $ unit --tally none.txt; run restore missing.hex; echo "[$?] commands received: $(wc -l <none.txt)"
  Restoring QUILLmar Application...
  RESTORE FAILED!
  ! There is no kept copy "missing.hex".
  ! Nothing was sent to the unit.
  [1] commands received: 0
  $ echo hello >plain.hex; unit; run restore plain.hex
  Restoring QUILLmar Application...
  RESTORE FAILED!
  ! Not a kept copy: "plain.hex" is not an Intel HEX file: line 1 is not a record: "hello".
  ! Nothing was sent to the unit.
  [1]
  $ unit; XDG_DATA_HOME=$PWD/empty run restore
  ! no kept copy in <here>/empty/quillmar/backups: nothing to restore
  [1]

The listings open no port. A history line that is no record is skipped, and standard error
says so; a data folder without copies says that too.

  $ echo 'not a record' >>$XDG_DATA_HOME/quillmar/history.jsonl; quillmar-update --port /nonexistent history 2>&1 >/dev/null | mask
  1 line of <here>/data/quillmar/history.jsonl held no record and was skipped
  $ XDG_DATA_HOME=$PWD/empty quillmar-update backups | mask
  No kept copies in <here>/empty/quillmar/backups.
