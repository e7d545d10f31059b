#!/usr/bin/env bash
# Formats the C and C++ sources git tracks with the root .clang-format, and nothing else: given
# a CMake file or a script, the formatter would take it for C++ and mangle it. With --check it
# changes nothing and fails on each file that is not formatted.
#
# usage: format.sh [--check]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mode=(-i)
if [[ ${1:-} == --check ]]; then
  mode=(--dry-run --Werror)
fi
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 --no-run-if-empty clang-format "${mode[@]}"
