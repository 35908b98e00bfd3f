#!/usr/bin/env bash
# The order of the files against the size of the package: builds two trees
# from the compression corpus's files (corpus-files.sh) and packs each with
# qpack at the best level twice, in the order of the paths and with similar
# files side by side, next to lz4 -12 of the files concatenated in path order.
#   corpus:  the DLLs in one folder, the headers in another, as the corpus has them
#   product: the same files spread over folders by their first letter, DLLs and
#            headers mixed, as a product's modules hold code and text together
#   bench/order-bench.sh [QPACK] [WORK_FOLDER]
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
qpack=${1:-$here/../build/host/bin/qpack}
work=${2:-$here/../build/order-bench}
rm -rf "$work"
mkdir -p "$work"

place() { # tree file
    local name
    case "$2" in
        /usr/share/mingw-w64/include/*) name="include/${2#/usr/share/mingw-w64/include/}" ;;
        *) name="dlls/$(basename "$2")" ;;
    esac
    if [ "$1" = product ]; then
        local base=$(basename "$name")
        name="${base:0:1}/${name//\//_}"
    fi
    mkdir -p "$work/$1/tree/$(dirname "$name")"
    cp "$2" "$work/$1/tree/$name"
}

for tree in corpus product; do
    while IFS= read -r -d '' f; do place "$tree" "$f"; done < <("$here/corpus-files.sh")
    bytes=$(find "$work/$tree/tree" -type f -print0 | sort -z | xargs -0 cat | wc -c)
    lz4=$(find "$work/$tree/tree" -type f -print0 | sort -z | xargs -0 cat | lz4 -12 -c | wc -c)
    line="$tree: $(find "$work/$tree/tree" -type f | wc -l) files, $bytes bytes; lz4 -12 $lz4"
    for order in manifest similar; do
        printf '[product]\nname = "Order %s"\nfile_order = "%s"\n[[files]]\nsource = "tree"\n' \
            "$tree" "$order" >"$work/$tree/$order.toml"
        packed=$("$qpack" build "$work/$tree/$order.toml" -o "$work/$tree/$order.exe" --quiet |
                 sed -n 's/.* packed into \([0-9]*\) .*/\1/p')
        line="$line; $order order $packed ($(awk "BEGIN {printf \"%+.2f\", ($packed - $lz4) * 100 / $lz4}") %)"
    done
    echo "$line"
done
