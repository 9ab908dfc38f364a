#!/usr/bin/env bash
# Builds the Windows programs twice from the same sources and, with --native,
# the sanitizer build of the code that needs no Windows and its benchmarks:
#   build/win32   i686, the shipped programs
#   build/win64   x86_64, the same programs and tests, the test vehicle on
#                 hosts that cannot run 32-bit code
#   build/native  host g++ with AddressSanitizer and UndefinedBehaviorSanitizer
#   build/bench   the benchmarks of the code without Windows, optimised (built
#                 so that one that stops building is seen; never run here)
# VELUNOR_BUILDS="win64" (or "win32") limits the cross builds made.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs=$(nproc)
for arch in ${VELUNOR_BUILDS:-win32 win64}; do
  case "$arch" in
    win32) toolchain=cmake/mingw-i686.cmake ;;
    win64) toolchain=cmake/mingw-x86_64.cmake ;;
    *) echo "unknown build: $arch" >&2; exit 2 ;;
  esac
  echo "== build/$arch"
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "build/$arch" -j"$jobs"
done
if [ "${1:-}" = "--native" ]; then
  echo "== build/native"
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build/native -j"$jobs"
  echo "== build/bench"
  cmake -S bench -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/bench -j"$jobs"
fi
