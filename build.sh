#!/usr/bin/env bash
# Builds everything: the setup program and the uninstaller in both flavours,
# the package builder qpack, benchmarks and all tests, and the demo product's
# installer. Artefacts: build/win32/bin/qsetup.exe (the setup program, PE32)
# and quninst.exe (the uninstaller) beside it, their PE32+ twins in
# build/win64/bin/, build/host/bin/qpack and its Windows build
# build/win64/bin/qpack.exe, build/windows-kit/ (qpack.exe with the PE32 setup
# program and uninstaller), and build/demo-setup.exe (the demo installer, with
# the PE32 uninstaller).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
for preset in win32 win64 host host-san; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
build/host/bin/qpack build examples/demo/demo.toml -o build/demo-setup.exe
mkdir -p build/windows-kit
cp build/win64/bin/qpack.exe build/win32/bin/qsetup.exe build/win32/bin/quninst.exe build/windows-kit/
