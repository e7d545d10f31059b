Power cuts on the emulated unit (quillmar-bootsim --avr: the project's boot loader, as machine
code, on an emulated ATmega1284P). Standard error shows after "! ".

  $ source "$TRANSCRIPT_DIR/emulated_unit.sh"; export XDG_DATA_HOME=$PWD/data
  $ seq -w 0 999 | tr -d '\n' | head -c 700 >small.bin

Power cuts during an update of a 700-byte image (three pages, the last one short) over an old
application. A row is a cut: the mode, the bytes the unit receives before its power fails, and
how long after the last of them it fails (in microseconds of the chip's time; none: once the
chip has answered it). After each cut the unit, powered again with the flash as the cut left
it, still answers (verify shows what the flash holds), and a second update recovers it. Every
first update waits out a reply's time-out, so all of them run at once. The updates are
--legacy, so that the bytes count in the dialogue as it always was.

  $ seq 100000 199999 | tr -d '\n' | head -c 130560 >old.bin
  $ { cat small.bin; ff $((130560 - 700)); } >small.expected.bin
  $ cuts=('before the erase: bytes 11'
  >       'during the erase: bytes 12 200' 'during the erase: bytes 12 600' 'during the erase: bytes 12 1000'
  >       'after the erase: bytes 12' 'after the start address: bytes 19'
  >       'in the middle of page 0: bytes 150' 'page 0 loaded, before its address: bytes 531'
  >       'at the write of page 0: bytes 535 0' 'after the write of page 0: bytes 535'
  >       'after the next address: bytes 538' 'in the middle of page 1: bytes 800'
  >       'after the write of page 1: bytes 1054' 'in the middle of the short page: bytes 1300'
  >       'after the last write: bytes 1437' 'after leaving programming mode: bytes 1441'
  >       'at the start of the read-back: bytes 1444' 'during the read-back: bytes 1600'
  >       'after the read-back: bytes 1795'
  >       'in the middle of block 0: --block 150' 'at the write of block 0: --block 280 0'
  >       'after the write of block 0: --block 280' 'during the block read-back: --block 745')
  $ cut() {  # folder, mode, bytes, delay
  >   mkdir "$1" && cd "$1" || return
  >   unit --load ../old.bin --silent-after "$3" ${4:+--cut-delay "$4"} --dump cut.bin
  >   run --legacy ${2/bytes/} --image ../small.bin update >first.txt
  >   unit --load cut.bin; run --image ../small.bin verify >verify.txt
  >   unit --load cut.bin --dump again.bin; run --legacy --image ../small.bin update >second.txt
  >   cmp -n 130560 ../small.expected.bin again.bin && echo recovered >>second.txt
  > }
  $ for i in "${!cuts[@]}"; do row=${cuts[i]#*: }; (cut cut$i $row) & done; wait
  $ for i in "${!cuts[@]}"; do
  >   echo "${cuts[i]}:"; grep '^!' cut$i/first.txt; echo "then: $(tail -n +2 cut$i/verify.txt | tr "\n" " ")"
  >   cmp -s -n 130560 old.bin cut$i/cut.bin && echo '(the old application is all there)'
  >   echo "again: $(tail -n +2 cut$i/second.txt | tr "\n" " ")"
  > done
  before the erase: bytes 11:
  ! initialization failed, rc=-2
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was 31 should be 30 
  (the old application is all there)
  again: Verifying Data... QUILLmar Updated! recovered 
  during the erase: bytes 12 200:
  ! initialization failed, rc=-2
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  during the erase: bytes 12 600:
  ! initialization failed, rc=-2
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  during the erase: bytes 12 1000:
  ! initialization failed, rc=-2
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the erase: bytes 12:
  ! initialization failed, rc=-3
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the start address: bytes 19:
  ! avr write byte failed at 1
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  in the middle of page 0: bytes 150:
  ! avr write byte failed at 66
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  page 0 loaded, before its address: bytes 531:
  ! error -4 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  at the write of page 0: bytes 535 0:
  ! page 0 (addresses 0x0000 - 0x00ff) page failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the write of page 0: bytes 535:
  ! error -5 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00100: was ff should be 38 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the next address: bytes 538:
  ! avr write byte failed at 257
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00100: was ff should be 38 
  again: Verifying Data... QUILLmar Updated! recovered 
  in the middle of page 1: bytes 800:
  ! avr write byte failed at 388
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00100: was ff should be 38 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the write of page 1: bytes 1054:
  ! error -5 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00200: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  in the middle of the short page: bytes 1300:
  ! avr write byte failed at 634
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00200: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the last write: bytes 1437:
  ! error -5 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: Verify Completed! 
  again: Verifying Data... QUILLmar Updated! recovered 
  after leaving programming mode: bytes 1441:
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: Verify Completed! 
  again: Verifying Data... QUILLmar Updated! recovered 
  at the start of the read-back: bytes 1444:
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: Verify Completed! 
  again: Verifying Data... QUILLmar Updated! recovered 
  during the read-back: bytes 1600:
  ! failed to exit programming mode after read
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: Verify Completed! 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the read-back: bytes 1795:
  ! failed to exit programming mode after read
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: Verify Completed! 
  again: Verifying Data... QUILLmar Updated! recovered 
  in the middle of block 0: --block 150:
  ! block 0 (addresses 0x0000 - 0x00ff) failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  at the write of block 0: --block 280 0:
  ! block 0 (addresses 0x0000 - 0x00ff) failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00000: was ff should be 30 
  again: Verifying Data... QUILLmar Updated! recovered 
  after the write of block 0: --block 280:
  ! block 1 (addresses 0x0100 - 0x01ff) failed to write
  ! error -1 writing device, terminating
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: VERIFY FAILED! ! Verification error at address 00100: was ff should be 38 
  again: Verifying Data... QUILLmar Updated! recovered 
  during the block read-back: --block 745:
  ! failed to exit programming mode after read
  ! failed to read all of memory, rc=-1
  ! The unit's application is now erased or incomplete: run the update again; the unit will not work until an update has completed.
  then: Verify Completed! 
  again: Verifying Data... QUILLmar Updated! recovered 
