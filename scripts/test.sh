#!/usr/bin/env bash
# Installs what is missing, builds everything with the default preset and runs the whole test suite.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
ctest --preset default
