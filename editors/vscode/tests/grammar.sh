#!/usr/bin/env bash
# The highlighting against the scope assertions of tests/*.quillschedule (vscode-tmgrammar-test,
# pinned by the lock file). A fresh clone has no node_modules yet: they are installed first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
command -v npm >/dev/null || { echo "grammar: no npm on PATH: run scripts/setup.sh as root" >&2; exit 1; }
if [[ ! -x node_modules/.bin/vscode-tmgrammar-test ]]; then
  echo "grammar: installing the extension's packages (npm ci)"
  npm ci --no-audit --no-fund --loglevel=error
fi
node_modules/.bin/vscode-tmgrammar-test --compact --grammar syntaxes/quillschedule.tmLanguage.json \
  'tests/*.quillschedule'
