#!/usr/bin/env bash
# qpack's command line: exit codes 0, 1 and 2, no output file after a
# mistake, unknown commands named, byte-identical outputs from the same
# inputs and any thread count, a progress line only on a terminal and not with --quiet, outputs
# that would replace an input or something other than a regular file
# refused, hostile setup files refused within a small memory limit (the third
# argument, in KB, "unlimited" under sanitizers), and names shown with their
# control characters escaped.
set -u
qpack=$1
demo=$2
memory=$3
setup_program=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() { # expected-code description command...
  local want=$1 what=$2
  shift 2
  "$@" >"$work/out.txt" 2>"$work/err.txt"
  local got=$?
  if [ "$got" != "$want" ]; then
    echo "FAIL: $what: exit code $got, expected $want"; cat "$work/err.txt"; failures=$((failures + 1))
  fi
}

check() { # description command...
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; cat "$work/err.txt"; failures=$((failures + 1)); }
}

said() { grep -qF -- "$1" "$work/err.txt"; }

stub="$work/stub.exe"
cp "$setup_program" "$stub"
cp "$(dirname "$setup_program")/quninst.exe" "$work/quninst.exe"
expect 2 "no command" "$qpack"
expect 2 "unknown command" "$qpack" pack "$demo"
check "an unknown command is named" said "qpack: unknown command 'pack'"
expect 2 "build without output" "$qpack" build "$demo"
expect 0 "help" "$qpack" --help
expect 0 "build the demo" "$qpack" build "$demo" -o "$work/a.exe" --stub "$stub"
expect 0 "build it again" "$qpack" build "$demo" -o "$work/b.exe" --stub "$stub"
cmp -s "$work/a.exe" "$work/b.exe" || { echo "FAIL: two builds differ"; failures=$((failures + 1)); }
expect 0 "build fast" "$qpack" build "$demo" -o "$work/fast.exe" --stub "$stub" --fast
expect 0 "build with one thread" "$qpack" build "$demo" -o "$work/one.exe" --stub "$stub" --jobs 1
expect 0 "build with two threads" "$qpack" build "$demo" -o "$work/two.exe" --stub "$stub" --jobs 2
cmp -s "$work/one.exe" "$work/two.exe" || { echo "FAIL: one and two threads differ"; failures=$((failures + 1)); }
expect 2 "no thread at all" "$qpack" build "$demo" -o "$work/none.exe" --stub "$stub" --jobs 0
check "no progress line when the output is not a terminal" bash -c '! grep -q "compressing" "$1"' _ "$work/err.txt"
# On a terminal a progress line follows reading and compressing, but not with --quiet.
script -qec "'$qpack' build '$demo' -o '$work/tty.exe' --stub '$stub'" /dev/null >"$work/tty.txt"
check "a progress line on a terminal" grep -q "qpack: compressing .* MB/s" "$work/tty.txt"
script -qec "'$qpack' build '$demo' -o '$work/quiet.exe' --stub '$stub' --quiet" /dev/null >"$work/quiet.txt"
check "none with --quiet" bash -c '! grep -qE "compressing|reading" "$1"' _ "$work/quiet.txt"
check "the summary stays with --quiet" grep -q "bytes in all" "$work/quiet.txt"
expect 1 "a signature that cannot be made" "$qpack" build "$demo" -o "$work/signed.exe" --stub "$stub" \
  --sign "$work/none.pem" "$work/none.key"
check "nothing stays behind a failed signature" bash -c '! ls "$1"* 2>/dev/null' _ "$work/signed.exe"
check "the failed signature is named with the output" said "$work/signed.exe: cannot sign: osslsigncode failed"
expect 0 "inspect" "$qpack" inspect "$work/a.exe"
grep -q 'readme: true' "$work/out.txt" || { echo "FAIL: inspect shows no README"; failures=$((failures + 1)); }
expect 0 "inspect as JSON" "$qpack" inspect --json "$work/a.exe"
head -c 1 "$work/out.txt" | grep -q '{' || { echo "FAIL: --json prints no object"; failures=$((failures + 1)); }
expect 0 "extract" "$qpack" extract "$work/a.exe" "$work/files"
[ -f "$work/files/destination/bin/hello.cmd" ] || { echo "FAIL: extract wrote no hello.cmd"; failures=$((failures + 1)); }
# The stub holds no package: even a qpack that took "" for the root would write nothing there.
expect 2 "extract into an empty folder name" "$qpack" extract "$stub" ""
expect 1 "inspect the stub" "$qpack" inspect "$stub"
expect 1 "inspect a missing file" "$qpack" inspect "$work/missing.exe"

printf '[product]\nname = "Bad"\n[[file]]\nsource = "missing.txt"\n' >"$work/bad.toml"
expect 1 "build a bad manifest" "$qpack" build "$work/bad.toml" -o "$work/bad.exe" --stub "$stub"
[ ! -e "$work/bad.exe" ] || { echo "FAIL: a bad manifest left an output file"; failures=$((failures + 1)); }
check "the reason a file cannot be read" said "bad.toml:4: file[0].source: cannot read 'missing.txt': No such file"
expect 1 "build with a missing stub" "$qpack" build "$demo" -o "$work/c.exe" --stub "$work/none.exe"
[ ! -e "$work/c.exe" ] || { echo "FAIL: a missing stub left an output file"; failures=$((failures + 1)); }

# Only the setup program takes a package, and only a Windows program is the
# uninstaller; a product without one says so.
mkdir "$work/refused"
cp "$(dirname "$demo")/LICENSE.txt" "$work/refused/licence.exe"
: >"$work/refused/empty.exe"
printf 'MZ' >"$work/refused/mz.exe"
cp "$work/quninst.exe" "$work/refused/uninstaller.exe"
while IFS='|' read -r stub_name reason; do
  expect 1 "refuse $stub_name as the setup program" "$qpack" build "$demo" -o "$work/c.exe" --stub "$work/$stub_name"
  check "$stub_name: $reason" said "refused as the setup program: $reason"
done <<'STUBS'
refused/licence.exe|is not a Windows program: it does not begin with an MZ header
refused/empty.exe|is not a Windows program: it does not begin with an MZ header
refused/mz.exe|is not a Windows program: it does not begin with an MZ header
refused/uninstaller.exe|is a Windows program, but not QInstall's setup program (qsetup.exe)
a.exe|carries a package already
STUBS
[ ! -e "$work/c.exe" ] || { echo "FAIL: a refused setup program left an output file"; failures=$((failures + 1)); }
mkdir "$work/alone"
cp "$stub" "$work/alone/qsetup.exe"
expect 1 "no uninstaller anywhere" "$qpack" build "$demo" -o "$work/c.exe" --stub "$work/alone/qsetup.exe"
check "no uninstaller is named" said "names no uninstaller (product.uninstaller), and there is none beside"
printf '[product]\nname = "Text"\nuninstaller = "%s"\n' "$(dirname "$demo")/LICENSE.txt" >"$work/alone/text.toml"
expect 1 "a text as the uninstaller" "$qpack" build "$work/alone/text.toml" -o "$work/c.exe" --stub "$stub"
check "the text is refused" said "product.uninstaller: refused as the uninstaller: is not a Windows program"
printf '[product]\nname = "None"\nuninstaller = false\n' >"$work/alone/none.toml"
expect 0 "a product without an uninstaller" "$qpack" build "$work/alone/none.toml" -o "$work/c.exe" \
  --stub "$work/alone/qsetup.exe"
rm -f "$work/c.exe"
printf '[product]\nname = "Typo"\nuninstaller = false\n[[shortcut]]\nname = "a.lnk"\ntarget = "bin/hellp.exe"\n' \
  >"$work/alone/typo.toml"
expect 0 "a link to no file of the product" "$qpack" build "$work/alone/typo.toml" -o "$work/c.exe" --stub "$stub"
check "the link is noted" said "shortcut[0].target: note: names no file the package installs"
expect 1 "the same with --strict" "$qpack" build "$work/alone/typo.toml" -o "$work/d.exe" --stub "$stub" --strict
check "--strict refuses it" said "refused with --strict: 1 note(s) above"
[ ! -e "$work/d.exe" ] || { echo "FAIL: --strict left an output file"; failures=$((failures + 1)); }
rm -f "$work/c.exe"

# Outputs that are inputs, however spelt, or no regular files are refused
# before anything is written; the inputs are a copy of the demo's.
cp -r "$(dirname "$demo")" "$work/demo"
manifest="$work/demo/demo.toml"
mkfifo "$work/fifo"
ln "$work/demo/LICENSE.txt" "$work/licence-link"
snapshot() { # kinds, sizes, times and checksums of the inputs; run in $(...)
  cd "$work" || return
  find demo stub.exe fifo licence-link -printf '%p %y %s %T@\n'
  find demo stub.exe -type f -exec cksum {} +
}
before=$(snapshot)
for output in "$stub" "$manifest" "$work/demo/LICENSE.txt" "$work/demo/../demo/media/chime.wav" \
  "$work/licence-link" "$work/fifo" "$work/demo"; do
  expect 2 "refuse $output as the output" "$qpack" build "$manifest" -o "$output" --stub "$stub"
done
check "refused outputs leave every input as it was" [ "$(snapshot)" = "$before" ]

# A write that fails midway (files may not grow past 8 KB) leaves the old
# output and no temporary file.
small_files() { (trap '' XFSZ; ulimit -f 8; "$@"); }
mkdir "$work/out"
cp "$work/a.exe" "$work/out/setup.exe"
expect 1 "a write that fails midway" small_files "$qpack" build "$manifest" -o "$work/out/setup.exe" --stub "$stub"
check "the reason of the failed write" said "File too large"
check "the old output stays" cmp -s "$work/a.exe" "$work/out/setup.exe"
check "no temporary file stays" [ "$(ls -A "$work/out")" = "setup.exe" ]

# Hostile setup files: a 35 KB file whose trailer claims 1 GB, a 600 MB one
# (sparse) whose trailer names nearly all of it as payload, one over 4 GB.
u32() { # a little-endian 32-bit value
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)))"
}
trailer() { # packed-size data-size payload-offset
  printf '\0'; u32 0; u32 0; u32 "$1"; u32 0; u32 0; u32 "$2"; u32 "$3"
}
limited() { (ulimit -v "$memory"; "$@"); }
{ head -c $((35 * 1024 - 29)) /dev/zero; trailer 4096 $((1 << 30)) 1024; } >"$work/claim.exe"
expect 1 "inspect a small file claiming 1 GB" limited "$qpack" inspect "$work/claim.exe"
check "the claim is named" said "the trailer claims 1073741824 bytes unpacked from 4096 packed"
truncate -s $(((600 << 20) - 29)) "$work/big.exe"
trailer $(((600 << 20) - 29 - 4096)) 100 4096 >>"$work/big.exe"
expect 1 "inspect a file beyond the limit" limited "$qpack" inspect "$work/big.exe"
check "the limit is named" said "at most 512 MB"
truncate -s 5G "$work/huge.exe"
expect 1 "extract a file over 4 GB" limited "$qpack" extract "$work/huge.exe" "$work/huge"
check "a file over 4 GB is too large" said "too small or too large"

# Control characters of names reach the terminal escaped.
expect 2 "a command with an escape character" "$qpack" $'\e[2J'
check "the command is shown escaped" said "unknown command '\\x1B[2J'"
expect 1 "a file name with an escape character" "$qpack" inspect "$work/"$'evil\e[31m.exe'
check "the file name is shown escaped" said "evil\\x1B[31m.exe: cannot read the file: No such file or directory"
no_escape() { ! grep -q $'\e' "$work/err.txt"; }
check "no escape character reaches the terminal" no_escape

[ $failures -eq 0 ] && echo "all command-line checks passed"
exit $((failures > 0))
