#!/usr/bin/env bash
# Builds the end-to-end tests' setup programs with qpack from the manifests
# in packages/, on the given setup program, into the given folder. A
# manifest.toml.in names generated files below @OUT@ and the demo's media
# below @MEDIA@; it is completed into the output folder first.
set -euo pipefail
qpack=$1 stub=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
media=$(cd "$here/../../examples/demo/media" && pwd)
mkdir -p "$out/data"
head -c 2000000 /dev/zero >"$out/data/two_million.bin"
head -c 1024000 /dev/zero >"$out/data/thousand_kb.bin"
# The files of the install tests, in sub-folders, with known contents.
engine="$out/data/engine"
mkdir -p "$engine/bin" "$engine/docs/guide" "$engine/data"
printf 'Read me first.\r\n' >"$engine/README.txt"
head -c 300000 <(seq 1 60000) >"$engine/bin/tool.bin"
printf 'The manual.\r\n' >"$engine/docs/guide/manual.txt"
printf '[demo]\r\nvalue=1\r\n' >"$engine/data/settings.ini"
head -c 1500000 <(seq 1 300000) >"$engine/big.bin"
for template in "$here"/packages/*.toml.in; do
  sed -e "s|@OUT@|$out|g" -e "s|@MEDIA@|$media|g" "$template" >"$out/$(basename "$template" .in)"
done
for manifest in "$here"/packages/*.toml "$out"/*.toml; do
  name=$(basename "$manifest" .toml)
  "$qpack" build "$manifest" -o "$out/$name.exe" --stub "$stub" --fast >/dev/null
done
"$qpack" build "$here/../../examples/demo/demo.toml" -o "$out/demo.exe" --stub "$stub" --fast >/dev/null
"$qpack" build "$here/../../examples/demo/demo.toml" -o "$out/demo_lzma.exe" --stub "$stub" --lzma >/dev/null
# The picture that travels beside banner_beside.exe.
cp "$media/banner.bmp" "$out/banner.bmp"
# A signed setup: a certificate of its own, made for the tests, signs it, and
# the signature verifies against that certificate.
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=QInstall Test Publisher" \
  -keyout "$out/signing-key.pem" -out "$out/signing-cert.pem" 2>/dev/null
"$qpack" build "$here/packages/blue.toml" -o "$out/signed.exe" --stub "$stub" --fast \
  --sign "$out/signing-cert.pem" "$out/signing-key.pem" >/dev/null
osslsigncode verify -CAfile "$out/signing-cert.pem" -in "$out/signed.exe" >"$out/signed-verify.txt" 2>&1 ||
  { cat "$out/signed-verify.txt"; exit 1; }
# qpack reads the package of what it signed, before the certificates.
"$qpack" inspect "$out/signed.exe" | grep -q "signed: true" || { echo "qpack cannot read signed.exe"; exit 1; }
