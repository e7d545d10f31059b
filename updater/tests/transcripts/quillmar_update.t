quillmar-update against the simulated unit: what each command prints on standard output, what
it explains on standard error (shown after "! "), its exit status and the files it leaves.
The unit's device stands as <unit>, this folder as <here>. The kept copies and the history go
to a data folder of the transcript's own.

  $ source "$TRANSCRIPT_DIR/unit_helpers.sh"; export XDG_DATA_HOME=$PWD/data
  $ hex() {
  >   local at=0 n sum record
  >   od -An -v -tx1 -w16 "$1" | while read -r -a bytes; do
  >     n=${#bytes[@]}; sum=$((n + (at >> 8) + (at & 255))); record=$(printf '%02X%04X00' $n $at)
  >     for b in "${bytes[@]}"; do record+=${b^^}; sum=$((sum + 16#$b)); done
  >     printf ':%s%02X\n' "$record" $((-sum & 255)); at=$((at + n))
  >   done
  >   echo :00000001FF
  > }
  $ seq -w 0 999 | tr -d '\n' | head -c 700 >image.bin; hex image.bin >quillmar.hex
  $ printf 'CVersion 1.10' >versioned.bin

Each command, byte by byte and in blocks: the texts and the status are the same.

  $ mkdir -p empty; for mode in bytes --block; do
  >   { unit; run ${mode/bytes/} --folder . update; echo "[$?]"
  >     unit --load versioned.bin; run ${mode/bytes/} version; echo "[$?]"
  >     unit; run ${mode/bytes/} version; echo "[$?]"
  >     unit; run ${mode/bytes/} --folder empty update; echo "[$?]"; } >out$mode.txt
  > done
  $ cmp outbytes.txt out--block.txt && cat outbytes.txt
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Updated!
  [0]
  Fetching version. Please wait...
  QUILLmar Version 1.10
  [0]
  Fetching version. Please wait...
  QUILLmar Version NONE
  [1]
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! can't open input file empty/quillmar.hex: No such file or directory
  ! file read error code -1 terminating
  [1]

The update leaves the image in the flash and 0xFF after it; read saves the whole application
region, and verify finds it equal to the image.

  $ unit --load image.bin; run --block --output back.bin read
  Reading App to back.bin...
  Read Completed!
  $ cmp -n 700 image.bin back.bin && wc -c <back.bin && tail -c +701 back.bin | tr -d '\377' | wc -c
  130560
  0
  $ unit --load image.bin; run --folder . read; ls quillread.hex
  Reading App to quillread.hex...
  Read Completed!
  quillread.hex
  $ unit --load back.bin; run --block --image quillread.hex verify
  Verifying Data...
  Verify Completed!
  $ unit --load image.bin; run --block --output=saved.BIN read && cmp saved.BIN back.bin
  Reading App to saved.BIN...
  Read Completed!
  $ unit --dump flash.hex; run --block --image=saved.BIN update
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Updated!
  $ unit --load flash.hex; run --block --output flash.bin read && cmp flash.bin back.bin
  Reading App to flash.bin...
  Read Completed!

Verify finds a differing byte, in both modes, and changes nothing.

  $ cp back.bin changed.bin; printf '\0' | dd of=changed.bin bs=1 seek=$((0x123)) conv=notrunc 2>/dev/null
  $ unit --load changed.bin; run --image image.bin verify
  Verifying Data...
  VERIFY FAILED!
  ! Verification error at address 00123: was 00 should be 30
  [1]
  $ unit --load changed.bin --dump after.hex; run --block --image image.bin verify
  Verifying Data...
  VERIFY FAILED!
  ! Verification error at address 00123: was 00 should be 30
  [1]
  $ unit --load after.hex; run --block --output after.bin read && cmp after.bin changed.bin
  Reading App to after.bin...
  Read Completed!

Files that cannot be used are explained on standard error, and nothing is sent to the unit.

  $ mkdir bad && printf ':0100000055AB\n:00000001FF\n' >bad/quillmar.hex
  $ unit; run --folder bad update
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! ERROR: checksum mismatch at line 1 of "bad/quillmar.hex"
  ! checksum=0xab, computed checksum=0xaa
  ! file read error code -1 terminating
  [1]
  $ printf ':0100000055AA\n' >bad/quillmar.hex
  $ unit; run --folder bad update
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! WARNING: no end of file record found for Intel Hex file "bad/quillmar.hex"
  ! "bad/quillmar.hex" has no end-of-file record: the file is incomplete, perhaps a download cut short.
  ! Nothing was sent to the unit.
  [1]
  $ mkdir bad/quillread.hex; unit; run --folder bad read
  Reading App to quillread.hex...
  READ FAILED!
  ! "bad/quillread.hex" cannot be written: Is a directory.
  ! Nothing was read from the unit.
  [1]

A port that another program holds is named, with what to do.

  $ unit; exec 9<>"$dev"; flock -n 9; quillmar-update --port "$dev" read >run.out 2>run.err; echo "[$?]"
  [1]
  $ cat run.out; sed -e 's/^/! /' -e "s|$dev|<unit>|" run.err
  Reading App to quillread.hex...
  READ FAILED!
  ! Opening serial port: Invalid handle retrieved opening port
  ! <unit>: in use by another program; close that program or choose another port.
  $ exec 9<&-; wait $sim

A whole region of every byte value goes to the unit and back unaltered, and read back as Intel
HEX it is 32-byte records, the linear address record where the second 64 KB segment starts,
and the end record.

  $ for i in $(seq 0 255); do printf "\\$(printf %03o $i)"; done >c256; for i in $(seq 510); do cat c256; done >count.bin
  $ unit --dump count.back.bin; run --block --image count.bin update; cmp -n 130560 count.bin count.back.bin
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Updated!
  $ unit --load count.bin; run --block --output count.hex read; wc -l <count.hex
  Reading App to count.hex...
  Read Completed!
  4082
  $ sed -n '1p;2048,2050p;4080,4082p' count.hex; grep -vc '^:20.\{72\}$' count.hex
  :20000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1FF0
  :20FFE000E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF11
  :020000040001F9
  :20000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1FF0
  :20FDC000C0C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0D1D2D3D4D5D6D7D8D9DADBDCDDDEDF33
  :20FDE000E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF13
  :00000001FF
  2

The image in the folder: the exact name wins, else the first name of any case in name order; a
folder of that name is no image. The last --port given counts, and a folder's name may hold a
space.

  $ mkdir 'x y' && cp quillmar.hex 'x y'/QUILLMAR.HEX && hex versioned.bin >'x y'/Quillmar.Hex
  $ cp versioned.bin 'x y'/quillmar.hex.bak; unit --load image.bin; run "--folder=x y" verify
  Verifying Data...
  Verify Completed!
  $ mv 'x y'/QUILLMAR.HEX 'x y'/quillmar.hex; cp 'x y'/Quillmar.Hex 'x y'/QUILLMAR.HEX; unit --load image.bin; run --folder 'x y' verify
  Verifying Data...
  Verify Completed!
  $ mkdir z z/QUILLMAR.HEX; unit; run --folder z update
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! can't open input file z/quillmar.hex: No such file or directory
  ! file read error code -1 terminating
  [1]

Two --port run two units at once, each line prefixed with its port (here A and B, sorted; the
table's spacing and times left out).

  $ unit --load versioned.bin; a=$dev; first=$sim; unit; b=$dev
  $ label() { tr / - <<<"${1#/dev/}"; }
  $ quillmar-update --port "$a" --port "$b" version |
  >   sed -E -e "s/^$(label "$a")([: ])/A\1/; s/^$(label "$b")([: ])/B\1/" \
  >     -e 's/[0-9]+:[0-9][0-9]  /m:ss  /; s/  +/  /g' | LC_ALL=C sort; wait $first $sim
  1 of 2 units answered
  A  -  1.10 -> 1.10  m:ss  ok
  A: Fetching version. Please wait...
  A: QUILLmar Version 1.10
  B  -  NONE -> NONE  m:ss  FAILED
  B: Fetching version. Please wait...
  B: QUILLmar Version NONE
  port  USB serial  versions  time  result

The command line: help, version, and usage errors, which touch no port.

  $ quillmar-update --help
  Usage: quillmar-update [--port PORT] [--folder DIR] [--block] [--image FILE]
                         [--output FILE] [--allow-older] [--allow-reinstall]
                         [--no-backup] [--dry-run] [--json] [--legacy]
                         update|read|version|verify
         quillmar-update [--port PORT] [--block] [--no-backup] [--dry-run] [--json]
                         restore [FILE]
         quillmar-update [--json] backups|history
         quillmar-update --list-ports | --help | --version
  
  Programs, reads back or identifies the QUILLmar unit's application firmware over a
  serial port through the unit's boot loader (38400 bit/s, 8 data bits, no parity,
  1 stop bit, null-modem cable).
  
  Commands:
    update   program DIR/quillmar.hex (Intel HEX) into the unit, then read it back and
             verify it; when that exact name is missing, a name that differs only in
             case (QUILLMAR.HEX) is taken. Before the erase it keeps a copy of the
             unit and checks the versions (see Versions and kept copies)
    read     save the unit's whole application region (130560 bytes) into
             DIR/quillread.hex; the unit is not changed
    version  show the unit's firmware version
    verify   read the unit back and compare it with DIR/quillmar.hex; nothing is
             erased or written
    restore  program a kept copy back into the unit: FILE, or else the newest
             copy in the backups folder; any version is taken back
    backups  list the kept copies, newest first; no port is opened
    history  list the updates, restores and reads done, oldest first; no port is
             opened
  
  Options:
    --port PORT   COM1, COM2, COM3 or COM4 (/dev/ttyS0, /dev/ttyS1, /dev/ttyS2, /dev/ttyS3),
                  or a serial device's path, or auto: the first listed port
                  (see --list-ports) whose boot loader answers; ports that
                  another program holds are skipped; default COM1. Given more
                  than once, or as all (every listed port whose boot loader
                  answers), it serves several units at once (see Several units
                  at once)
    --folder DIR  folder of quillmar.hex and quillread.hex; default the folder of
                  this program
    --image FILE  the image to program (update) or compare with (verify) instead of
                  DIR/quillmar.hex: raw binary when its name ends in .bin, Intel
                  HEX when it ends in .hex, else detected from its contents
    --output FILE the file read saves into instead of DIR/quillread.hex: raw binary
                  when its name ends in .bin, else Intel HEX
    --block       use the boot loader's block transfers (one command per 256-byte
                  page) when it offers them; pages of 0xFF are left out after the
                  erase. A boot loader without them gets the usual dialogue.
    --allow-older (update) program an image older than the unit's firmware
    --allow-reinstall
                  (update) program an image of the unit's version, even one the
                  unit holds byte for byte
    --no-backup   (update, restore) keep no copy: only the first 8192 bytes are
                  read before the erase, for the versions
    --dry-run     (update, restore) read the unit and say whether the update
                  would go ahead; nothing is erased, written or recorded
    --json        standard output gets only the operation's record as one JSON
                  object (history: all records as one array); the status texts
                  go to standard error
    --legacy      (update, read) as before: the update without versions and copy;
                  neither leaves a record in the history
    --list-ports  list the serial ports, USB adapters first: the name to give to
                  --port, its description, and for a USB adapter its vendor and
                  product IDs and serial number
    --help        show this text and exit
    --version     show this program's version and exit
  
  Versions and kept copies:
    The version is the text after "CVersion " in the first 8192 bytes. Before the
    erase, update reads the unit's version and the image's: an image older than
    the unit's firmware, or of its version, is refused with nothing changed unless
    --allow-older or --allow-reinstall is given; an image the unit holds already is
    not programmed again. It also reads the whole region and keeps it as an Intel
    HEX file in DATA/backups, named by time, port and version; restore programs it
    back. Every update, restore and read adds its record to DATA/history.jsonl.
    DATA is $XDG_DATA_HOME/quillmar, or ~/.local/share/quillmar when that is unset
    or not an absolute path (Linux); %LOCALAPPDATA%\QUILLmar (Windows).
  
  Several units at once:
    With more than one --port, or --port all, each unit runs the whole command on
    its own port at the same time as the others. The image is loaded and checked
    once, before any port opens. Each status line on standard output and each
    failure message on standard error starts with its port's name (for example
    "COM5: Verifying Data..."); on a terminal, standard error shows one progress
    line per unit. At the end comes a table (port, USB serial number, versions
    before -> after, time, result) and a line such as "7 of 8 units updated".
    read saves one file per port, the port's name added before the extension
    (quillread-COM5.hex), or inside DIR when --output DIR/ ends in a separator.
    restore without FILE programs each unit's own newest kept copy. With --json,
    standard output gets one JSON array of the units' records. The exit status
    is 0 when every unit succeeded, else 1.
  
  Output:
    Standard output gets the status texts, one per line, in order (for example
    "Programming QUILLmar Application...", "Verifying Data...", "QUILLmar Updated!").
    Standard error gets each failure message, one per line, and the image file's
    diagnostics; when it is a terminal, also a progress bar.
  
  Image files:
    Intel HEX may end its lines in LF or CR LF, start with a UTF-8 byte-order mark,
    or be UTF-16 with its mark (as PowerShell saves text). A file named *.hex that
    is not Intel HEX is refused before the port opens, naming its first line that
    is not a record. Intel HEX is saved with this system's line ends.
  
  Exit status:
    0  success (version: a version was found; verify: the unit equals the image;
       update, restore: also when the unit held the image already)
    1  the operation failed (version: none found)
    2  usage error
    3  refused for its version before the erase, nothing changed (a dry run: the
       update would be refused)
  
  Preparing the unit: connect a null-modem cable to the unit's serial port, turn on
  DIP switch #8, make sure DIP switch #1 (reset) is off, apply power. Switch DIP
  switch #8 off when the update is complete. An update takes several minutes; a unit
  that does not answer costs up to 20 seconds per awaited reply.
  $ quillmar-update -h | head -n 1; quillmar-update read --help | head -n 1
  Usage: quillmar-update [--port PORT] [--folder DIR] [--block] [--image FILE]
  Usage: quillmar-update [--port PORT] [--folder DIR] [--block] [--image FILE]
  $ quillmar-update --version; quillmar-update read --version
  quillmar-update <version>
  quillmar-update <version>
  $ quillmar-update flash
  quillmar-update: unknown command flash
  Usage: quillmar-update [--port PORT] [--folder DIR] [--block] [--image FILE]
                         [--output FILE] [--allow-older] [--allow-reinstall]
                         [--no-backup] [--dry-run] [--json] [--legacy]
                         update|read|version|verify
         quillmar-update [--port PORT] [--block] [--no-backup] [--dry-run] [--json]
                         restore [FILE]
         quillmar-update [--json] backups|history
         quillmar-update --list-ports | --help | --version
  Try 'quillmar-update --help' for more information.
  [2]
  $ for args in '' '--port COM2' 'update --port' '--folder= read' '--verbose update' \
  >             '--portable update' 'update read' Update '--help --bogus' 'read --image a.hex' \
  >             'version --image=a.hex' 'update --output r.hex' 'verify --output=r.hex' \
  >             'read --output' '--image= update' '--legacy --dry-run update' 'backups --json'; do
  >   quillmar-update $args 2>&1 | sed -n 1p; echo " [${PIPESTATUS[0]}]"
  > done
  quillmar-update: no command given
   [2]
  quillmar-update: no command given
   [2]
  quillmar-update: option --port needs a value
   [2]
  quillmar-update: option --folder needs a value
   [2]
  quillmar-update: unknown option --verbose
   [2]
  quillmar-update: unknown option --portable
   [2]
  quillmar-update: only one command may be given, found read
   [2]
  quillmar-update: unknown command Update
   [2]
  quillmar-update: unknown option --bogus
   [2]
  quillmar-update: option --image applies to update and verify only
   [2]
  quillmar-update: option --image applies to update and verify only
   [2]
  quillmar-update: option --output applies to read only
   [2]
  quillmar-update: option --output applies to read only
   [2]
  quillmar-update: option --output needs a value
   [2]
  quillmar-update: option --image needs a value
   [2]
  quillmar-update: option --dry-run means nothing with --legacy, which leaves out the steps before the erase
   [2]
  quillmar-update: option --json applies to update, restore, read, verify, version and history only
   [2]

The simulated unit itself: it answers with the identifier it is given, loads a raw image and
dumps the flash as Intel HEX when its session ends; an image it cannot load and a bad option
are refused before it offers a device.

  $ unit --id BADBOOT; run read
  Reading App to quillread.hex...
  READ FAILED!
  ! BADBOOT received, bad signature
  ! signature check failed, rc=-1
  [1]
  $ printf '\064\022' >start.bin; unit --load start.bin --dump end.hex; run --output start.back.bin read
  Reading App to start.back.bin...
  Read Completed!
  $ od -An -tx1 -N4 start.back.bin; head -n 1 end.hex
   34 12 ff ff
  :200000003412FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFB8
  $ quillmar-bootsim --load /nonexistent/start.hex
  can't open input file /nonexistent/start.hex: No such file or directory
  [1]
  $ quillmar-bootsim --nack m:0
  quillmar-bootsim: bad value for --nack: m:0
  usage: quillmar-bootsim [options]
  Plays the unit's boot loader on a new pseudo-terminal, prints the device to connect to
  (one line), and serves it until killed or until a limit is reached.
    --load FILE        start with this flash image (Intel HEX if FILE ends in .hex, else raw)
    --dump FILE        write the whole flash to FILE at exit (same formats)
    --tally FILE       write to FILE at exit how often each command came, one a line
    --sessions N       stop after N clients have opened and closed the device
    --commands N       stop after N commands
    --id TEXT          answer the identifier command with TEXT instead of AVRBOOT
    --silent-after N   go silent after receiving N bytes
    --nack C:K         answer "?" to the K-th use of command C and ignore it
                       (C is a character or a byte like 0x1b; repeatable)
    --corrupt ADDR     the flash byte at ADDR stores with bit 0 flipped
    --no-block         a boot loader without block transfers (b, B, g unknown)
    --baud N           take the time an N-bit/s 8N1 line takes, both ways
    --latency MS       hold each reply MS milliseconds, as a USB adapter does
    --avr              run the unit's real boot loader on an emulated ATmega1284P
                       (with --load, --dump, --sessions, --silent-after only)
    --cut-delay US     with --avr and --silent-after N: the power fails US
                       microseconds of chip time after it took byte N, even in
                       the middle of the work that byte started
    --help             show this text
    --version          show this program's version
  [2]
  $ for args in --verbose --sessions '--sessions -1' '--commands 12x' '--commands 0x' \
  >             '--silent-after 99999999999999999999' '--nack m' '--nack 0x100:1' '--nack :1' \
  >             '--corrupt 131072' '--load ""' '--baud 0' '--baud 4000001' '--latency 10001' --latency; do
  >   eval quillmar-bootsim $args 2>&1 | sed -n 1p; echo " [${PIPESTATUS[0]}]"
  > done
  quillmar-bootsim: unknown option: --verbose
   [2]
  quillmar-bootsim: missing value after --sessions
   [2]
  quillmar-bootsim: bad value for --sessions: -1
   [2]
  quillmar-bootsim: bad value for --commands: 12x
   [2]
  quillmar-bootsim: bad value for --commands: 0x
   [2]
  quillmar-bootsim: bad value for --silent-after: 99999999999999999999
   [2]
  quillmar-bootsim: bad value for --nack: m
   [2]
  quillmar-bootsim: bad value for --nack: 0x100:1
   [2]
  quillmar-bootsim: bad value for --nack: :1
   [2]
  quillmar-bootsim: bad value for --corrupt: 131072
   [2]
  quillmar-bootsim: bad value for --load: 
   [2]
  quillmar-bootsim: bad value for --baud: 0
   [2]
  quillmar-bootsim: bad value for --baud: 4000001
   [2]
  quillmar-bootsim: bad value for --latency: 10001
   [2]
  quillmar-bootsim: missing value after --latency
   [2]

An update that meets a faulty unit (faults that cost a reply's time-out are the in-process
tests', which wait less): the unit answers "?" to the K-th use of a command, gives
another identifier or stores a byte wrongly. The image is 300 bytes, written over an old
application that is all there until the erase. The updates are --legacy, so that the K-th use
counts in the dialogue as it always was, without the read before the erase.

  $ head -c 300 image.bin >image300.bin; seq 100000 199999 | tr -d '\n' | head -c 130560 >old.bin
  $ for fault in '--id AVRBOOX' '--nack a:1' '--nack P:1' '--nack e:1' '--nack P:2' '--nack A:1' \
  >              '--nack A:2' '--nack c:3' '--nack C:1' '--nack A:3' '--nack m:2' '--nack A:4' \
  >              '--nack L:1' '--nack P:3' '--nack A:7' '--nack L:2' '--corrupt 0x123'; do
  >   echo "$fault:"; unit $fault --load old.bin --dump after.bin; run --legacy --image image300.bin update
  >   cmp -s -n 130560 old.bin after.bin && echo '(the old application is all there)'
  > done
  --id AVRBOOX:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! AVRBOOX received, bad signature
  ! signature check failed, rc=-1
  (the old application is all there)
  --nack a:1:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! signature check failed, rc=-2
  (the old application is all there)
  --nack P:1:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! initialization failed, rc=-1
  (the old application is all there)
  --nack e:1:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! initialization failed, rc=-2
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  (the old application is all there)
  --nack P:2:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! initialization failed, rc=-3
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack A:1:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! initialization failed, rc=-4
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack A:2:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! error -5 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack c:3:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! avr write byte failed at 5
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack C:1:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! avr write byte failed at 2
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack A:3:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! error -4 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack m:2:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! page 1 (addresses 0x0100 - 0x012b) page failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack A:4:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! error -5 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack L:1:
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! failed to exit programming mode
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack P:3:
  Programming QUILLmar Application...
  Verifying Data...
  UPDATE FAILED!
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack A:7:
  Programming QUILLmar Application...
  Verifying Data...
  UPDATE FAILED!
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --nack L:2:
  Programming QUILLmar Application...
  Verifying Data...
  UPDATE FAILED!
  ! failed to exit programming mode after read
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  --corrupt 0x123:
  Programming QUILLmar Application...
  Verifying Data...
  UPDATE FAILED!
  ! Verification error at address 00123: was 31 should be 30
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  [1]

In blocks, a refused block load names the block, the last one short (a 1000-byte image).

  $ head -c 1000 old.bin >image1000.bin
  $ for fault in B:3 B:4; do unit --nack $fault; run --legacy --block --image image1000.bin update; done
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! block 2 (addresses 0x0200 - 0x02ff) failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! block 3 (addresses 0x0300 - 0x03e7) failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  [1]

A read that meets a faulty unit saves nothing; identifier bytes that are not printable show as
\xNN. (Faults that cost a reply's time-out are the in-process tests', which wait less.)

  $ rm -f quillread.hex; unit --nack P:1; run read
  Reading App to quillread.hex...
  READ FAILED!
  ! failed to read all of memory, rc=-1
  [1]
  $ unit --id "$(printf 'A\001\177\n\303\251\033')"; run read; ls quillread.hex 2>/dev/null
  Reading App to quillread.hex...
  READ FAILED!
  ! A\x01\x7F\x0A\xC3\xA9\x1B received, bad signature
  ! signature check failed, rc=-1
  [2]

The version is the four characters after the first "CVersion " in the flash's first 8192
bytes; a failing step gives up the search however far it got.

  $ place() { head -c 8192 /dev/zero | tr '\0' '\377' >v.bin; printf "$2" | dd of=v.bin bs=1 seek=$1 conv=notrunc 2>/dev/null; }
  $ for row in '0 CVersion 1.10' '4001 xxCVersion 2.3bcd' '100 CVersion 0001 CVersion 0002' \
  >            '2000 CVersion 1\0002\000' '8181 CVersion 42' '8183 CVersion 42' '8184 CVersion 4.56' \
  >            '300 CVersion:1.00' '0 '; do
  >   place ${row%% *} "${row#* }"; unit --load v.bin; run version >v.out; tail -n 1 v.out
  > done
  QUILLmar Version 1.10
  QUILLmar Version 2.3b
  QUILLmar Version 0001
  QUILLmar Version 1x2x
  QUILLmar Version 42
  QUILLmar Version 
  QUILLmar Version NONE
  QUILLmar Version NONE
  QUILLmar Version NONE
  $ place 0 'CVersion 1.10'
  $ for fault in a:1 A:1; do unit --nack $fault --load v.bin; run version >v.out; tail -n 1 v.out; done
  QUILLmar Version NONE
  QUILLmar Version NONE

Image files: a save keeps the file's permissions and writes through a link; a save that runs
out of space says so and keeps the old file, with no temporary file left; "-" is standard
input or output; a file named otherwise than .bin is told by its contents, and one that is
neither format is refused.

  $ mkdir files && cd files && mkdir real && echo old >real/q.hex && chmod 640 real/q.hex && ln -s real/q.hex q.hex
  $ unit --load ../start.bin; run --block --output q.hex read; stat -c '%a %F' real/q.hex q.hex; head -n 1 real/q.hex
  Reading App to q.hex...
  Read Completed!
  640 regular file
  777 symbolic link
  :200000003412FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFB8
  $ cp real/q.hex kept.hex; unit; (trap '' XFSZ; ulimit -f 8; quillmar-update --port "$dev" --legacy --block --output kept.hex read) 2>&1; echo "[$?]"; wait $sim
  Reading App to kept.hex...
  output error to kept.hex: File too large; wrote 8192 of the expected 310108 bytes
  file write error code -1 terminating
  READ FAILED!
  [1]
  $ cmp kept.hex real/q.hex && ls -A
  kept.hex
  q.hex
  real
  run.err
  run.out
  unit.err
  unit.out
  $ unit --load ../start.bin; quillmar-update --port "$dev" --block --output - read | head -n 2; wait $sim
  Reading App to -...
  :200000003412FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFB8
  $ unit; run --block --image - update <real/q.hex
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! error opening <stdin>: No such file or directory
  ! can't determine file format for <stdin>, specify explicitly
  ! file read error code -1 terminating
  [1]
  $ printf 'ab\200\r\n\032' >image.raw; unit; run --block --image image.raw update
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Updated!
  ! input file image.raw auto detected as raw binary
  ! 
  $ echo hello >plain.txt; unit; run --image plain.txt verify
  Verifying Data...
  VERIFY FAILED!
  ! can't determine file format for plain.txt, specify explicitly
  ! file read error code -1 terminating
  [1]
  $ echo S00600004844521B >s.s19; unit; run --image s.s19 verify
  Verifying Data...
  VERIFY FAILED!
  ! input file s.s19 auto detected as Motorola S-Record
  ! 
  ! Motorola S-Record input format not yet supported
  ! file read error code -1 terminating
  [1]
  $ cd ..
