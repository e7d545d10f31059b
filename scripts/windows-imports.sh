#!/usr/bin/env bash
# Checks that each given Windows program imports only DLLs that every Windows has: the C++
# runtime is linked in, so the .exe files run when copied anywhere on their own.
set -euo pipefail
status=0
for exe in "$@"; do
  extra=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' |
    grep -viE '^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|bcrypt|setupapi|shell32|ole32|msvcrt|ws2_32|ntdll)\.dll$' || true)
  if [[ -n $extra ]]; then
    echo "$(basename "$exe") needs DLLs that Windows does not have: $extra" >&2
    status=1
  fi
done
exit $status
