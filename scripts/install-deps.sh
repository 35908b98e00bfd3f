#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine64 xvfb xauth locales libtomlplusplus-dev libcli11-dev lz4 gzip zlib1g-dev liblz4-dev lzma-dev
          osslsigncode openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine takes its ANSI code page from the locale, and file names outside ASCII
# need the locale to exist: the code-page tests run under these two.
for locale in ja_JP ru_RU; do
  locale -a | grep -qix "$locale.utf8" || $sudo localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done
