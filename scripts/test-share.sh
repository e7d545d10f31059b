#!/usr/bin/env bash
# Prints, per deliverable, the C++ lines of its tests (tests/ and fuzz/ folders) against all its
# C++ lines. With --check, fails when a deliverable's tests are more than a third of its lines.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
status=0
printf '%-10s %8s %8s %6s\n' deliverable all tests share
for d in PlanProbe updater tildeconv; do
  files=$(git ls-files "$d" | grep -E '\.(cpp|h)$')
  all=$(echo "$files" | xargs cat | wc -l)
  tests=$(echo "$files" | grep -E '(^|/)(tests|fuzz)/' | xargs -r cat | wc -l)
  printf '%-10s %8d %8d %5d%%\n' "$d" "$all" "$tests" $((100 * tests / all))
  if [[ ${1:-} == --check ]] && ((3 * tests > all)); then
    echo "test-share: $d: tests are more than a third of its lines" >&2
    status=1
  fi
done
exit $status
