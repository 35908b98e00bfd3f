#!/usr/bin/env bash
# qpack's command line: exit codes 0, 1 and 2, no output file after a
# mistake, and byte-identical outputs from the same inputs.
set -u
qpack=$1
demo=$2
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

stub="$work/stub.exe"
head -c 4096 /dev/zero >"$stub"
expect 2 "no command" "$qpack"
expect 2 "unknown command" "$qpack" pack "$demo"
expect 2 "build without output" "$qpack" build "$demo"
expect 0 "help" "$qpack" --help
expect 0 "build the demo" "$qpack" build "$demo" -o "$work/a.exe" --stub "$stub"
expect 0 "build it again" "$qpack" build "$demo" -o "$work/b.exe" --stub "$stub"
cmp -s "$work/a.exe" "$work/b.exe" || { echo "FAIL: two builds differ"; failures=$((failures + 1)); }
expect 0 "build fast" "$qpack" build "$demo" -o "$work/fast.exe" --stub "$stub" --fast
expect 0 "inspect" "$qpack" inspect "$work/a.exe"
grep -q 'readme: true' "$work/out.txt" || { echo "FAIL: inspect shows no README"; failures=$((failures + 1)); }
expect 0 "inspect as JSON" "$qpack" inspect --json "$work/a.exe"
head -c 1 "$work/out.txt" | grep -q '{' || { echo "FAIL: --json prints no object"; failures=$((failures + 1)); }
expect 0 "extract" "$qpack" extract "$work/a.exe" "$work/files"
[ -f "$work/files/destination/bin/hello.cmd" ] || { echo "FAIL: extract wrote no hello.cmd"; failures=$((failures + 1)); }
expect 1 "inspect the stub" "$qpack" inspect "$stub"
expect 1 "inspect a missing file" "$qpack" inspect "$work/missing.exe"

printf '[product]\nname = "Bad"\n[[file]]\nsource = "missing.txt"\n' >"$work/bad.toml"
expect 1 "build a bad manifest" "$qpack" build "$work/bad.toml" -o "$work/bad.exe" --stub "$stub"
[ ! -e "$work/bad.exe" ] || { echo "FAIL: a bad manifest left an output file"; failures=$((failures + 1)); }
grep -q "bad.toml:4: file\[0\].source: cannot read 'missing.txt'" "$work/err.txt" ||
  { echo "FAIL: unexpected message:"; cat "$work/err.txt"; failures=$((failures + 1)); }
expect 1 "build with a missing stub" "$qpack" build "$demo" -o "$work/c.exe" --stub "$work/none.exe"
[ ! -e "$work/c.exe" ] || { echo "FAIL: a missing stub left an output file"; failures=$((failures + 1)); }

[ $failures -eq 0 ] && echo "all command-line checks passed"
exit $((failures > 0))
