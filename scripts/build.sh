#!/usr/bin/env bash
# Builds the Windows programs (cross) and, with --native, the sanitizer build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs=$(nproc)
cmake -S . -B build/cross -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/cross -j"$jobs"
if [ "${1:-}" = "--native" ]; then
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build/native -j"$jobs"
fi
