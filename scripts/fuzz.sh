#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for the given number of seconds (default 60)
# on a scratch copy of its seed corpus (<deliverable>/fuzz/corpus/<target>/).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
shopt -s nullglob
targets=(build-fuzz/fuzz/*)
if ((${#targets[@]} == 0)); then
  echo "fuzz: no fuzz targets yet."
  exit 0
fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=$(find . -path ./build\* -prune -o -type d -path "*/fuzz/corpus/$name" -print | head -n 1)
  [[ -n $seeds ]] && cp -r "$seeds"/. "$work"/
  echo "fuzz: $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$work"
  rm -rf "$work"
done
