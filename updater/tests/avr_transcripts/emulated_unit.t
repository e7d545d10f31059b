quillmar-update against the emulated unit: the project's boot loader, as machine code, on an
emulated ATmega1284P (quillmar-bootsim --avr). Standard error shows after "! ", the unit's
device as <unit>. The kept copies and the history go to a data folder of the transcript's own.

  $ source "$TRANSCRIPT_DIR/emulated_unit.sh"; export XDG_DATA_HOME=$PWD/data
  $ seq -w 0 999 | tr -d '\n' | head -c 2300 >image.bin; printf 'CVersion 2.07' >versioned.bin
  $ { head -c 300 image.bin; ff $((0x10000 - 300)); head -c 1000 image.bin; } >sparse.bin

Update, version, read and verify, byte by byte and in blocks: the texts are the same, the flash
holds the image and 0xFF up to the boot loader, and read saves the whole application region.

  $ for mode in bytes --block; do
  >   { unit --dump flash$mode.bin; run ${mode/bytes/} --image image.bin update
  >     unit --load versioned.bin; run ${mode/bytes/} version
  >     unit --load image.bin; run ${mode/bytes/} --output back.bin read; mv back.bin back$mode.bin
  >     unit --load image.bin; run ${mode/bytes/} --image image.bin verify; } >out$mode.txt
  > done
  $ cmp outbytes.txt out--block.txt && cat outbytes.txt
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Updated!
  Fetching version. Please wait...
  QUILLmar Version 2.07
  Reading App to back.bin...
  Read Completed!
  Verifying Data...
  Verify Completed!
  $ { cat image.bin; ff $((130560 - 2300)); } >expected.bin
  $ for mode in bytes --block; do cmp -n 130560 expected.bin flash$mode.bin && cmp expected.bin back$mode.bin; done
  $ cmp flashbytes.bin flash--block.bin && wc -c <flashbytes.bin
  131072

Above 64 KiB, where the flash address needs its third byte: blank pages are left out in blocks.

  $ unit --dump sparse.back.bin; run --block --image sparse.bin update && cmp -n 66536 sparse.bin sparse.back.bin
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Updated!
  $ unit --load sparse.back.bin; run --block --image sparse.bin verify
  Verifying Data...
  Verify Completed!

The boot loader keeps to its own commands and never writes itself: anything else is answered
"?" (a block of another memory than flash before its data), and so is a page write into its own
pages (word address 0xFF00 on), which stay as they were. Each row sends a few commands to a unit
that holds the image, and shows the replies. The line is set raw through the descriptor that
holds it: a second open of the device could end the unit's one session before its replies.

  $ talk() {
  >   unit --load image.bin --dump talk.bin; exec 3<>"$dev"; stty raw -echo <&3
  >   printf "$1" >&3; timeout 10 head -c "$2" <&3 | od -An -c | sed 's/  */ /g'
  >   exec 3<&-; wait $sim
  > }
  $ talk 'S' 7; talk 'ab' 4; talk 'PEVpTx\001r' 8; talk 'A\000\000B\000\001Eg\000\001E' 3
   A V R B O O T
   Y Y 001 \0
   \r ? ? ? ? ? ? ?
   \r ? ?
  $ unit --dump fresh.bin; : <>"$dev"; wait $sim; loader() { tail -c 512 "$1" | od -An -tx1 | md5sum; }
  $ talk 'A\377\000c\000C\000m' 4; [[ $(loader talk.bin) == $(loader fresh.bin) ]] && echo unchanged
   \r \r \r ?
  unchanged
  $ talk 'A\377\000B\000\002F\000\000' 2; [[ $(loader talk.bin) == $(loader fresh.bin) ]] && echo unchanged
   \r ?
  unchanged

An erase reaches the application region only, and a page written over old data without an erase
only clears bits, as on the real chip; a page's words that were not loaded stay as they were.

  $ talk 'eA\000\000R' 4; cmp -n 130560 talk.bin <(ff 130560) && [[ $(loader talk.bin) == $(loader fresh.bin) ]] && echo unchanged
   \r \r 377 377
  unchanged
  $ talk 'A\000\000c\017C\360A\000\000m' 4; od -An -tx1 -N 4 talk.bin; od -An -tx1 -N 4 image.bin
   \r \r \r \r
   00 30 30 30
   30 30 30 30
