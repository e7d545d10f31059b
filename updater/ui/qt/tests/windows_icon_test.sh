#!/usr/bin/env bash
# The dialog's Windows icon holds 16, 32, 48 and 256 pixels in full colour (32 bits with alpha),
# the largest as PNG, as Explorer, the Start menu and the task bar pick their sizes from it; the
# Linux desktop's PNGs are the same sizes with alpha. Usage: windows_icon_test.sh SOURCE_DIR
set -euo pipefail
ico=$1/updater/ui/win32/QUILLmar_Update.ico
fail() {
  echo "windows_icon_test: FAILED: $*" >&2
  exit 1
}
# u16|u32 OFFSET: the little-endian number at OFFSET of the icon file.
u16() { od -A n -t u2 -j "$1" -N 2 --endian=little "$ico" | tr -d ' '; }
u32() { od -A n -t u4 -j "$1" -N 4 --endian=little "$ico" | tr -d ' '; }

[[ $(u16 0) == 0 && $(u16 2) == 1 ]] || fail "$ico is no icon file"
count=$(u16 4)
found=()
for ((i = 0; i < count; i++)); do
  entry=$((6 + 16 * i))
  width=$(od -A n -t u1 -j "$entry" -N 1 "$ico" | tr -d ' ')
  ((width == 0)) && width=256
  bits=$(u16 $((entry + 6)))
  offset=$(u32 $((entry + 12)))
  ((bits == 32)) || fail "the $width-pixel image has $bits bits per pixel, not 32"
  # A PNG image starts with its signature, a bitmap with its 40-byte header.
  magic=$(od -A n -t x1 -j "$offset" -N 4 "$ico" | tr -d ' ')
  if ((width == 256)); then
    [[ $magic == 89504e47 ]] || fail "the 256-pixel image is not stored as PNG"
  else
    [[ $magic == 28000000 ]] || fail "the $width-pixel image is not a bitmap"
  fi
  found+=("$width")
done
[[ ${found[*]} == "16 32 48 256" ]] || fail "the icon's sizes are ${found[*]}, not 16 32 48 256"
for size in 16 32 48 256; do
  png=$1/updater/ui/qt/resources/icon-$size.png
  # The PNG header: width and height (big-endian), bit depth 8 and colour type 6 (RGBA).
  header=$(od -A n -t u1 -j 16 -N 10 "$png" | tr -s ' ')
  side="0 0 $((size >> 8)) $((size & 255))"
  [[ $header == " $side $side 8 6" ]] ||
    fail "$png is not $size x $size pixels in RGBA: header$header"
done
echo "windows_icon_test: $ico holds ${found[*]} pixels at 32 bits; the PNGs match"
