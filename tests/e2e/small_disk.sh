#!/usr/bin/env bash
# A disk of 1 MB for the install tests: "add FOLDER" mounts a tmpfs there
# and maps it as drive Q: of the Wine prefix (WINEPREFIX); "remove FOLDER"
# takes both away. Where the machine allows no mount, Q: stays unmapped and
# the tests that need it are skipped.
set -u
what=$1 folder=$2
drive="$WINEPREFIX/dosdevices/q:"
rm -f "$drive"
if [ "$what" = remove ]; then
  umount "$folder" 2>/dev/null
  exit 0
fi
mkdir -p "$folder"
umount "$folder" 2>/dev/null
if ! mount -t tmpfs -o size=1m tmpfs "$folder" 2>/dev/null; then
  echo "no tmpfs could be mounted: the full-disk test is skipped"
  exit 0
fi
ln -s "$folder" "$drive"
