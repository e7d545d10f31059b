#!/usr/bin/env bash
# Wine tests, stage unit-tests: every unit test of the Windows build, run by CTest under Wine in
# the main prefix.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_cross_build
use_prefix main

echo "== unit tests of the Windows build under Wine"
ctest --preset windows --timeout 120
