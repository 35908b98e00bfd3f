#!/usr/bin/env bash
# Builds everything: the setup program in both flavours, the host tools,
# benchmarks and all tests. Artefacts: build/win32/bin/qsetup.exe (the
# product, PE32) and build/win64/bin/qsetup.exe (its PE32+ twin).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
for preset in win32 win64 host host-san; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
