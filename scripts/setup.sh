#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine, only what is
# missing. Safe to run again. With --demo also what the run command needs.
#
# Both cross compilers and both Wines: the 32-bit programs are the product,
# the 64-bit build is what hosts that refuse 32-bit code can test. wine32
# installs on such hosts too; it just cannot start there. clang with its
# fuzzer runtime builds the fuzz targets; Debian's giflib is the reference of
# the GIF tests and benchmark and Pillow (python3-pil) reads the GIF files we
# write (neither is linked into the programs).
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in cmake make g++ clang libclang-rt-14-dev libgif-dev python3 python3-pil googletest xvfb xauth \
         gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 \
         gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 \
         wine wine64 wine32:i386; do
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
