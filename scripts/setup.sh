#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, and only those missing.
# Each file in scripts/packages/ lists packages, one a line; '#' starts a comment.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

wanted=$(sed -e 's/#.*//' "$here"/packages/*.txt | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$pkg")
done

# npm, for the VS Code extension's package and tests. Debian's npm needs Debian's nodejs, so both
# are installed only when there is no npm at all: a Node.js from elsewhere brings its own npm, and
# Debian's packages would conflict with it.
command -v npm >/dev/null || missing+=(nodejs npm)

if ((${#missing[@]} == 0)); then
  echo "setup: all required packages are installed."
  exit 0
fi

echo "setup: installing missing packages: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "setup: this needs root (apt-get install). Run as root or install them by hand." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "setup: done."
