#!/usr/bin/env bash
# Prepares the Wine prefix the Windows tests run in: 64-bit, no Mono or Gecko
# prompts, no menu entries on the host for the links the tests make, the
# user's folders inside the prefix, and a virtual desktop of 1024x768 so that
# windows get their frames and Wine does not wait two seconds for each window
# it hides, as it does under Xvfb without a window manager.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
[ -f "$WINEPREFIX/.qi-ready" ] && exit 0
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
# Wine points the user's Desktop, Documents and the like at the host's home
# folder; the tests put links there, so they get folders of the prefix's own.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done
touch "$WINEPREFIX/.qi-ready"
