#!/usr/bin/env bash
# Builds the end-to-end tests' setup programs with qpack from the manifests
# in packages/, on the given setup program, into the given folder.
set -euo pipefail
qpack=$1 stub=$2 out=$3
mkdir -p "$out"
for manifest in "$(dirname "$0")"/packages/*.toml; do
  name=$(basename "$manifest" .toml)
  "$qpack" build "$manifest" -o "$out/$name.exe" --stub "$stub" --fast >/dev/null
done
# The picture that travels beside banner_beside.exe.
cp "$(dirname "$0")/../../examples/demo/media/banner.bmp" "$out/banner.bmp"
