The kept copy on the emulated unit (quillmar-bootsim --avr: the project's boot loader on an
emulated ATmega1284P): the copy an update keeps before the erase holds what the flash held, and
when the power fails after the erase, restore puts it back. Standard error shows after "! ".

  $ source "$TRANSCRIPT_DIR/emulated_unit.sh"; export XDG_DATA_HOME=$PWD/data
  $ { printf 'CVersion 1.12'; seq 100000 199999 | tr -d '\n'; } | head -c 3000 >v112.bin
  $ { printf 'CVersion 1.13'; seq -w 0 999 | tr -d '\n'; } | head -c 700 >v113.bin
  $ { cat v112.bin; ff $((130560 - 3000)); } >flash.bin

The unit receives 2056 bytes up to the erase in blocks (the identifier's, the block question,
510 block reads of the copy, "P" and "e"); the power fails once the erase is done.

  $ unit --load v112.bin --silent-after 2056 --dump cut.bin; run --block --image v113.bin update >first.txt
  [1]
  $ sed -E -e "s|$PWD|<here>|g" -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{6}(-[0-9]+)?_pts-[0-9]+_/<time>_<port>_/g' first.txt
  Programming QUILLmar Application...
  unit 1.12, image 1.13 (newer)
  Kept a copy of the unit: <here>/data/quillmar/backups/<time>_<port>_1.12.hex
  UPDATE FAILED!
  ! initialization failed, rc=-3
  ! The unit's application is now erased or incomplete; the unit will not work until an update has completed. Run the update again, or restore the copy kept before the erase: <here>/data/quillmar/backups/<time>_<port>_1.12.hex
  $ copy=$(ls data/quillmar/backups/*.hex); quillmar-bootsim --sessions 1 --load "$copy" --dump copy.bin >copy.out & until [[ -s copy.out ]]; do sleep 0.05; done
  $ : <>"$(head -n 1 copy.out)"; wait; cmp -n 130560 copy.bin flash.bin && cmp -n 130560 cut.bin <(ff 130560) && echo 'the copy is the flash; the unit is erased'
  the copy is the flash; the unit is erased
  $ unit --load cut.bin --dump restored.bin; run --block restore && cmp -n 130560 restored.bin flash.bin
  Restoring QUILLmar Application...
  unit NONE, image 1.12 (unknown)
  The unit's application region is empty: there is no copy to keep.
  Verifying Data...
  QUILLmar Restored!
