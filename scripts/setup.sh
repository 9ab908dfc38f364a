#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine, only what is
# missing. Safe to run again. With --demo also what the run command needs.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in cmake make g++ gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 googletest \
         xvfb xauth wine wine32:i386 python3; do
  have "$p" || need+=("$p")
done
# The run command's screenshot of the showing needs ImageMagick.
if [ "${1:-}" = "--demo" ]; then
  have imagemagick || need+=(imagemagick)
fi
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
