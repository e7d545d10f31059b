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

echo
echo "== quillmar-update against the simulated unit (quillmar-bootsim on a pseudo-terminal)"
# hex_image BYTES: BYTES (hex pairs) as Intel HEX data records of 16 bytes from address 0.
hex_image() {
  local data=$1 addr=0 chunk n sum i
  while [[ -n $data ]]; do
    chunk=${data:0:32} data=${data:32}
    n=$((${#chunk} / 2)) sum=$((${#chunk} / 2 + (addr >> 8) + (addr & 255)))
    for ((i = 0; i < ${#chunk}; i += 2)); do sum=$((sum + 16#${chunk:i:2})); done
    printf ':%02X%04X00%s%02X\n' "$n" "$addr" "$chunk" $(((256 - sum % 256) % 256))
    addr=$((addr + n))
  done
  echo ":00000001FF"
}
updater_demo=$demo/updater
mkdir -p "$updater_demo"
firmware=$(printf 'demo firmware for the QUILLmar unit; CVersion 1.10 ' | od -An -v -tx1 | tr -d ' \n' | tr a-f A-F)
hex_image "$firmware$(printf '%02X' $(seq 0 255))" > "$updater_demo/quillmar.hex"
"$bin/quillmar-bootsim" > "$updater_demo/bootsim.out" &
bootsim_pid=$!
for _ in $(seq 100); do [[ -s $updater_demo/bootsim.out ]] && break; sleep 0.1; done
unit=$(head -n 1 "$updater_demo/bootsim.out")
echo "simulated unit on $unit"
# The kept copies and the history go to the demo's own data folder, not the user's.
export XDG_DATA_HOME=$updater_demo/data
rm -rf "$XDG_DATA_HOME"
for command in update read version "--dry-run update" history; do
  echo "\$ quillmar-update --port $unit --folder $updater_demo $command"
  # shellcheck disable=SC2086 # a command may carry its option
  "$bin/quillmar-update" --port "$unit" --folder "$updater_demo" $command || status=$?
  echo "exit status ${status:-0}"
  unset status
done
kill "$bootsim_pid" && wait "$bootsim_pid" || true
echo "output: $updater_demo/quillread.hex"
