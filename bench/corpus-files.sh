#!/usr/bin/env bash
# Lists the files of the compression benchmark's corpus, NUL-separated: Wine's
# PE DLLs and then the MinGW-w64 headers, each in byte order of their paths,
# each taken up to its budget. The files come from packages the build
# installs anyway (wine64, mingw-w64-common), so machines with the same
# package versions list the same files.
set -euo pipefail
export LC_ALL=C
dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
headers=/usr/share/mingw-w64/include
budget=30000000 # bytes from each source, about 55 MB in all

# Prints the files of the list on standard input, in order, as long as they
# fit the budget together.
take() {
    local total=0 file size
    while IFS= read -r -d '' file; do
        size=$(stat -c %s "$file")
        (( total + size <= budget )) || break
        total=$((total + size))
        printf '%s\0' "$file"
    done
}

for dir in "$dlls" "$headers"; do
    [ -d "$dir" ] || { echo "missing $dir: run scripts/install-deps.sh" >&2; exit 1; }
done
find "$dlls" -maxdepth 1 -type f -name '*.dll' -print0 | sort -z | take
find "$headers" -type f -print0 | sort -z | take
