#!/usr/bin/env bash
# Runs one Windows test program under 64-bit Wine. Now and then a start of
# Wine ends at once, before the program runs, without a word (the tests run
# with WINEDEBUG=-all); every test program prints its first line as it
# starts. So a run that fails having printed nothing is run once more with
# Wine's own error messages on: a program that really cannot start then
# fails again and says why.
set -uo pipefail
wine=/usr/lib/wine/wine64
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$wine" "$@" | tee "$out"
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
  echo "Wine ended with $status before the program printed anything; running it again" >&2
  WINEDEBUG=err+all "$wine" "$@"
  status=$?
fi
exit "$status"
