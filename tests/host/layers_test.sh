#!/usr/bin/env bash
# The floors only look down: every #include "folder/..." of a folder's code
# names a folder that folder may use. Prints each that does not, and fails.
set -u
cd "$1"
declare -A may=(
  [app]="app wizard engine package base res"
  [wizard]="wizard engine package base res"
  [uninstall]="uninstall engine package base res"
  [engine]="engine package base res"
  [package]="package base"
  [base]="base res"
  [qpack]="qpack package"
  [driver]="driver package engine res"
)
wrong=0
for folder in "${!may[@]}"; do
  while IFS=: read -r file line; do
    used=${line#*\"}
    used=${used%%/*}
    if [[ " ${may[$folder]} " != *" $used "* ]]; then
      echo "$file: $line"
      wrong=$((wrong + 1))
    fi
  done < <(grep -o '^#include "[a-z_]*/[^"]*"' "$folder"/*.cpp "$folder"/*.h 2>/dev/null)
done
echo "$wrong includes reach a floor above or beside"
[ "$wrong" -eq 0 ]
