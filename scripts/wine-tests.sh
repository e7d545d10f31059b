#!/usr/bin/env bash
# Tests the Windows programs under Wine, in stages that each can run alone (scripts/wine/NAME.sh,
# see lib.sh there): the cross-build, the Windows build's unit tests, then the programs end to
# end. Everything runs in throw-away Wine prefixes on a virtual display of their own.
#
# usage: wine-tests.sh [STAGE...]   (no STAGE: all of them, in the order below)
set -euo pipefail
stages=(cross-build unit-tests console update files ports dialog units dialog-files installer)
if (($# > 0)); then
  for stage in "$@"; do
    [[ " ${stages[*]} " == *" $stage "* ]] || {
      echo "usage: wine-tests.sh [STAGE...]; the stages: ${stages[*]}" >&2
      exit 2
    }
  done
  stages=("$@")
fi
source "$(dirname "${BASH_SOURCE[0]}")/wine/lib.sh"
started=$SECONDS

# The stages share this run's folder, display and prefixes, and after the first one the
# cross-build is up to date.
export QUILLMAR_WINE_WORK=$work
[[ ${stages[*]} == cross-build ]] || need_display
times=()
for stage in "${stages[@]}"; do
  began=$SECONDS
  bash "$wine_dir/$stage.sh" || fail "stage $stage (alone: bash scripts/wine-tests.sh $stage)"
  export QUILLMAR_WINE_BUILT=1
  times+=("$stage $((SECONDS - began)) s")
done
echo "wine-tests: stage times: $(printf '%s, ' "${times[@]}" | sed 's/, $//')"
echo "wine-tests: all passed in $((SECONDS - started)) s."
