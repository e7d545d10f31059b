#!/usr/bin/env bash
# Renders the dialog's icon from its one source, updater/ui/qt/resources/quillmar-update.svg, into
# the PNG sizes the Linux desktop and the Qt dialog use (updater/ui/qt/resources/icon-SIZE.png) and
# the Windows icon (updater/ui/win32/QUILLmar_Update.ico: 16, 32 and 48 pixels as 32-bit images
# with alpha, 256 pixels as PNG). The results are kept in the tree, so a build needs neither
# tool; run this after a change of the drawing and commit what it writes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "make-icons: $tool is missing (bash scripts/setup.sh)" >&2; exit 1; }
done
resources=updater/ui/qt/resources
sizes=(16 32 48 256)
pngs=()
for size in "${sizes[@]}"; do
  png=$resources/icon-$size.png
  # PNG32: always RGBA; no time stamps or other text, so the same drawing gives the same bytes.
  rsvg-convert -w "$size" -h "$size" "$resources/quillmar-update.svg" |
    convert - -strip -define png:exclude-chunks=date,time PNG32:"$png"
  pngs+=("$png")
done
convert "${pngs[@]}" updater/ui/win32/QUILLmar_Update.ico
echo "make-icons: wrote ${pngs[*]} updater/ui/win32/QUILLmar_Update.ico"
