#!/usr/bin/env bash
# Renders the timeline page of a short run in a real headless browser and checks the picture
# is not blank. Usage: timeline_render_test.sh PLANPROBE SCHEDULE
set -euo pipefail
planprobe=$1 schedule=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "timeline render test: $*" >&2; exit 1; }

command -v chromium >/dev/null || fail "chromium is not installed (scripts/setup.sh installs it)"
command -v convert >/dev/null || fail "imagemagick's convert is not installed (scripts/setup.sh)"

"$planprobe" -s"$schedule" -o"$work/out.txt" -d072402 +d3 --timeline "$work/page.html" \
  </dev/null >"$work/console.txt" || fail "planprobe failed: $(tail -c 300 "$work/console.txt")"
[[ -s $work/page.html ]] || fail "planprobe wrote no page"

# Without its sandbox: it refuses to run as root and needs namespaces that containers in CI
# often lack; the page is our own local file.
HOME=$work timeout 120 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --user-data-dir="$work/profile" --window-size=1000,700 --screenshot="$work/shot.png" \
  "file://$work/page.html" >"$work/browser.txt" 2>&1 ||
  fail "chromium failed or timed out: $(tail -n 5 "$work/browser.txt")"
[[ -s $work/shot.png ]] || fail "chromium wrote no screenshot: $(tail -n 5 "$work/browser.txt")"

# A blank page has one colour; the marks of the kinds, the text and the tables give dozens.
colours=$(convert "$work/shot.png" -format %k info:)
ink=$(convert "$work/shot.png" -fill black +opaque white -format '%[fx:int(100*(1-mean))]' info:)
echo "screenshot: $colours colours, ${ink}% not white"
((colours >= 16)) || fail "the screenshot has only $colours colours: the page looks blank"
((ink >= 2)) || fail "only ${ink}% of the screenshot is not white: the page looks blank"
echo "timeline render test: passed"
