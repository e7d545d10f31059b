Image files as people have them, through the folder's quillmar.hex and through --image, against
the simulated unit: what quillmar-update says (standard error after "! "), its exit status, and
what the unit's flash holds afterwards. Each update starts from an old application, and keeps
no copy of it (--no-backup: the copies are the safer update's transcript's).

  $ source "$TRANSCRIPT_DIR/unit_helpers.sh"; export XDG_DATA_HOME=$PWD/data
  $ flash() {
  >   if cmp -s -n 130560 old.bin "$1"; then echo 'the old application'
  >   elif cmp -s -n 700 image.bin "$1" && [[ -z $(head -c 130560 "$1" | tail -c +701 | tr -d '\377') ]]; then echo 'the image'
  >   else echo 'something else'; fi
  > }
  $ seq 100000 199999 | tr -d '\n' | head -c 130560 >old.bin; seq -w 0 999 | tr -d '\n' | head -c 700 >image.bin

The image as Intel HEX, as a read saves it (lines end in LF here), cut after its first 704
bytes.

  $ unit --load image.bin; run --block --output full.hex read; grep -c $'\r' full.hex
  Reading App to full.hex...
  Read Completed!
  0
  [1]
  $ { head -n 22 full.hex; tail -n 1 full.hex; } >quillmar.hex; tail -n 2 quillmar.hex
  :2002A00032323432323532323632323732323832323932333032333132333232FFFFFFFFAF
  :00000001FF

Image files as editors and shells save them, through the folder's quillmar.hex and through
--image: Intel HEX text with LF or CR LF line ends, after a comment line, with a UTF-8
byte-order mark, or as UTF-16 with its mark in either byte order is programmed exactly (the
flash then holds the image and 0xFF after it).

  $ save() {
  >   case $1 in
  >     lf) cat ;;
  >     crlf) sed 's/$/\r/' ;;
  >     comment) echo '; firmware 1.10, built by the tools'; cat ;;
  >     utf8-mark) printf '\357\273\277'; cat ;;
  >     utf8-mark-crlf) printf '\357\273\277'; sed 's/$/\r/' ;;
  >     utf16le) printf '\377\376'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE ;;
  >     utf16be) printf '\376\377'; iconv -f UTF-8 -t UTF-16BE ;;
  >   esac
  > }
  $ mkdir saved; for how in lf crlf comment utf8-mark utf8-mark-crlf utf16le utf16be; do
  >   mkdir saved/$how; save $how <quillmar.hex >saved/$how/quillmar.hex; cp saved/$how/quillmar.hex saved/$how.HEX
  >   for way in "--folder saved/$how" "--image saved/$how.HEX"; do
  >     unit --load old.bin --dump after.bin; run --block --no-backup $way update >/dev/null; echo "$way: [$?] $(flash after.bin)"
  >   done
  > done
  --folder saved/lf: [0] the image
  --image saved/lf.HEX: [0] the image
  --folder saved/crlf: [0] the image
  --image saved/crlf.HEX: [0] the image
  --folder saved/comment: [0] the image
  --image saved/comment.HEX: [0] the image
  --folder saved/utf8-mark: [0] the image
  --image saved/utf8-mark.HEX: [0] the image
  --folder saved/utf8-mark-crlf: [0] the image
  --image saved/utf8-mark-crlf.HEX: [0] the image
  --folder saved/utf16le: [0] the image
  --image saved/utf16le.HEX: [0] the image
  --folder saved/utf16be: [0] the image
  --image saved/utf16be.HEX: [0] the image

A file of another name is told by its contents, after its mark: UTF-16 Intel HEX is detected
as Intel HEX, not as raw binary.

  $ cp saved/utf16le.HEX saved/utf16le.txt; unit --load old.bin --dump after.bin; run --block --no-backup --image saved/utf16le.txt update; flash after.bin
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  Verifying Data...
  QUILLmar Updated!
  ! input file saved/utf16le.txt auto detected as Intel Hex
  ! 
  the image

A file named *.hex (any case), by --image or as the folder's quillmar.hex, that is not Intel
HEX is refused before the port opens, naming its first line that is not a record: text without
records in any encoding, binary data, and an empty file. The unit keeps its old application. A
*.bin is raw binary whatever it holds. A file that is Intel HEX gets the loader's diagnostics,
whatever its encoding, with its line numbers.

  $ mkdir refused; printf '\n  \nhello\nworld\n' >refused/text.hex; for i in $(seq 0 255); do printf "\\$(printf %03o $i)"; done >refused/binary.HEX
  $ printf 'Firmware 1.10 f\303\274r QUILLmar\r\n' | save utf16be >refused/utf16.hex; echo S00600004844521B | save utf8-mark >refused/s19.hex
  $ printf ':0100000055AB\n:00000001FF\n' | save utf16le >refused/checksum.hex
  $ : >refused/empty.hex; mkdir refused/folder; cp refused/binary.HEX refused/folder/quillmar.hex; cp quillmar.hex refused/text.bin
  $ for way in '--image refused/text.hex' '--image refused/binary.HEX' '--image refused/utf16.hex' \
  >            '--image refused/s19.hex' '--image refused/empty.hex' '--folder refused/folder' '--image refused/text.bin' \
  >            '--image refused/checksum.hex'; do
  >   unit --load old.bin --dump after.bin; run --block --no-backup $way update; echo "[$?] $(flash after.bin)"
  > done
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! "refused/text.hex" is not an Intel HEX file: line 3 is not a record: "hello".
  ! Nothing was sent to the unit.
  [1] the old application
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! "refused/binary.HEX" is not an Intel HEX file: line 1 is not a record: "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09".
  ! It holds binary data; a raw binary image is named *.bin.
  ! Nothing was sent to the unit.
  [1] the old application
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! "refused/utf16.hex" is not an Intel HEX file: line 1 is not a record: "Firmware 1.10 f\xC3\xBCr QUILLmar".
  ! Nothing was sent to the unit.
  [1] the old application
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! "refused/s19.hex" is not an Intel HEX file: line 1 is not a record: "S00600004844521B".
  ! Nothing was sent to the unit.
  [1] the old application
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! WARNING: no end of file record found for Intel Hex file "refused/empty.hex"
  ! "refused/empty.hex" holds no data records and no end-of-file record: it is empty or not an image file.
  ! Nothing was sent to the unit.
  [1] the old application
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! "refused/folder/quillmar.hex" is not an Intel HEX file: line 1 is not a record: "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09".
  ! It holds binary data; a raw binary image is named *.bin.
  ! Nothing was sent to the unit.
  [1] the old application
  Programming QUILLmar Application...
  unit NONE, image NONE (unknown)
  Verifying Data...
  QUILLmar Updated!
  [0] something else
  Programming QUILLmar Application...
  UPDATE FAILED!
  ! ERROR: checksum mismatch at line 1 of "refused/checksum.hex"
  ! checksum=0xab, computed checksum=0xaa
  ! file read error code -1 terminating
  [1] the old application
