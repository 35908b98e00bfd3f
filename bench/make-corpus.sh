#!/usr/bin/env bash
# Writes the compression benchmark's corpus to the given path: the files
# bench/corpus-files.sh lists, one after the other.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUTPUT" >&2; exit 2; }
"$(dirname "$0")/corpus-files.sh" | xargs -0 cat > "$1"
