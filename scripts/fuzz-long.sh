#!/usr/bin/env bash
# Runs every fuzz target long: the given seconds (default an hour, at least
# ten minutes) each, two at a time, from the seeds of the sanitizer build,
# and prints each target's coverage and executions. Crashes land in
# build/fuzz-long/<target>/ as crash-* files.
#   scripts/fuzz-long.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3600}
shift || true
[ "$seconds" -ge 600 ] || { echo "a long run takes at least 600 seconds a target" >&2; exit 2; }
bin=build/host-san/bin
[ -x "$bin/make_seeds" ] || { echo "build the host-san preset first (./build.sh)" >&2; exit 2; }
ctest --preset host-san -R fuzz.seeds >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(cd "$bin" && ls *_fuzz | sed 's/_fuzz$//'))
run() {
  local target=$1 out=build/fuzz-long/$1
  mkdir -p "$out/corpus"
  (cd "$out" && "../../../$bin/${target}_fuzz" -max_total_time="$seconds" -max_len=65536 \
     -print_final_stats=1 corpus "../../host-san/fuzz-seeds/$target" >log 2>&1) || true
  printf '%-10s %s; %s\n' "$target" "$(grep -E 'DONE|^#[0-9]+.*cov' "$out/log" | tail -1)" \
    "$(ls "$out" | grep -c '^crash-' || true) crashes"
}
for target in "${targets[@]}"; do
  [ "$(jobs -rp | wc -l)" -lt 2 ] || wait -n
  run "$target" &
done
wait
