#!/usr/bin/env bash
# Runs source-tree-check.sh on a small project of its own and compares its report line for line:
# allowed includes (own folder, a named folder, a parent's row, "all of") pass, and each kind of
# breach is named with its file and line. Usage: source-tree-check-test.sh
set -euo pipefail
check=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/source-tree-check.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
git init -q
mkdir -p app/core/sub app/base app/tests app/stray shared
cat >README.md <<'TABLE'
## Source tree

| Folder | What lives there | May use |
|---|---|---|
| `app/core/` | the core | `base/`, the standard library |
| `app/base/` | the base | the standard library |
| `app/tests/`, `app/fuzz/` | tests | all of `app/` |
| `shared/` | shared code | `nowhere/` |

## Next section
| `app/stray/` | not a row: outside the table | |
TABLE
printf '#include "core/a.h"\n#include "base/b.h"\n#include <vector>\n#include "shared/s.h"\n' >app/core/a.cpp
printf '#pragma once\n' >app/core/a.h
printf '#pragma once\n#include "core/a.h"\n' >app/base/b.h
printf '#include "base/b.h"\n  #  include "shared/s.h"\n' >app/core/sub/x.cpp
printf '#include "core/a.h"\n#include "base/b.h"\n#include "missing.h"\n' >app/tests/t.cpp
printf '#include "base/b.h"\n' >app/stray/y.cpp
printf '#pragma once\n' >shared/s.h
git add .
cat >expected <<'REPORT'
README.md:7: the row of app/fuzz/ names nothing git tracks
README.md:8: the row of shared/ lets it use nowhere/, which is no folder of the project
app/base/b.h:2: includes "core/a.h" from app/core/, but the row of app/base/ allows only: the standard library
app/core/a.cpp:4: includes "shared/s.h" from shared/, but the row of app/core/ allows only: `base/`, the standard library
app/core/sub/x.cpp:2: includes "shared/s.h" from shared/, but the row of app/core/ allows only: `base/`, the standard library
app/stray/y.cpp: app/stray/ has no row in the Source tree table
app/tests/t.cpp:3: "missing.h" is no header git tracks, or several are
REPORT
status=0
bash "$check" . >given 2>/dev/null || status=$?
if ((status != 1)) || ! diff -u expected <(LC_ALL=C sort -t: -k1,1 -k2n given); then
  echo "source-tree-check-test: FAILED: the report above differs (exit status $status)" >&2
  exit 1
fi
echo "source-tree-check-test: passed"
