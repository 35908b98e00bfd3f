#!/usr/bin/env bash
# Builds everything, then runs every test: host tests (also under ASan and
# UBSan) and the Windows tests under 64-bit Wine and Xvfb. An argument is a
# CTest name pattern that limits the run, e.g. ./test.sh e2e.startup
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
filter=()
[ $# -gt 0 ] && filter=(-R "$1")
ctest --preset host "${filter[@]}"
ctest --preset host-san "${filter[@]}"
scripts/wine-prefix.sh
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win64 "${filter[@]}"
