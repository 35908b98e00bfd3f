#!/usr/bin/env bash
# Builds the fuzz targets' seeds from the test products' manifests (and
# manifests with mistakes, for the manifest reader), on a
# stand-in setup program of a hundred bytes so that the fuzzers spend their
# mutations on the package, and empties the folders the fuzzers add to.
#   make_seeds.sh QPACK MAKE_SEEDS SEEDS_FOLDER CORPUS_FOLDER
set -euo pipefail
qpack=$1 make_seeds=$2 seeds=$3 corpus=$4
source=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$seeds" "$corpus"
mkdir -p "$seeds/setups" "$seeds/manifest" "$seeds/extract"
# A stand-in as small as qpack takes: an MZ header naming a PE header for
# x86, and for the setup program its marker; the uninstaller beside it.
pe_header() { printf 'MZ'; head -c 58 /dev/zero; printf '\100\000\000\000PE\000\000\114\001'; head -c 18 /dev/zero; }
marker=$(sed -n 's/^#define SETUP_PROGRAM_MARKER "\(.*\)"$/\1/p' "$source/package/setup_marker.h")
{ pe_header; printf '%s' "$marker"; } > "$seeds/stub"
pe_header > "$seeds/quninst.exe"
for manifest in "$source"/tests/e2e/packages/*.toml "$source"/examples/demo/demo.toml; do
  name=$(basename "$manifest" .toml)
  "$qpack" build "$manifest" -o "$seeds/setups/$name.exe" --stub "$seeds/stub" --fast >/dev/null 2>&1
  cp "$manifest" "$seeds/manifest/$name.toml"
done
# Manifests with mistakes in their commands, links and registry values: the
# reader must report each and go on without using what it refused.
cp "$source"/tests/fuzz/manifest_seeds/*.toml "$seeds/manifest/"
"$qpack" build "$source/tests/e2e/packages/blue.toml" -o "$seeds/setups/blue_lzma.exe" --stub "$seeds/stub" --fast \
  --lzma >/dev/null 2>&1
"$make_seeds" "$seeds" "$seeds"/setups/*.exe
# Stored names for the path check: a code page byte, then the name.
printf '\000\\bin\\hello.cmd' > "$seeds/extract/plain"
printf '\002\\\203\\\\\225\\.txt' > "$seeds/extract/trail-backslashes"
printf '\000\\a\\..\\..\\b' > "$seeds/extract/climbing"
for target in "$seeds"/*/; do
  mkdir -p "$corpus/$(basename "$target")"
done
