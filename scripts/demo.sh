#!/usr/bin/env bash
# Installs what is missing, builds the programs and runs each on the bundled examples.
# Everything a program writes lands under build/demo/, never in the source tree.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
bin=$PWD/build/bin
demo=$PWD/build/demo
rm -rf "$demo" && mkdir -p "$demo"

echo
echo "== tildeconv on examples/index.htm"
cp examples/index.htm "$demo/"
(cd "$demo" && "$bin/tildeconv" index.htm)
echo "output: $demo/index.syn"

echo
echo "== planprobe on examples/planprobe-schedule.txt (from 24 July 2002, the default week)"
"$bin/planprobe" -sexamples/planprobe-schedule.txt -o"$demo/planprobe.log" -d072402 </dev/null
echo
echo "log: $demo/planprobe.log ($(wc -l <"$demo/planprobe.log") lines)"
