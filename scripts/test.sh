#!/usr/bin/env bash
# Installs what is missing, builds every build (the benchmarks too, which it
# never runs) and runs every test: the native rule tests under the sanitizers,
# each fuzz target for a bounded time, then the Windows tests of the 64-bit
# build under 64-bit Wine (every x86-64 host runs it), then those of the
# 32-bit build, the shipped one, under 32-bit Wine where this host can run
# 32-bit code. VELUNOR_WIN64_ONLY=1 skips the 32-bit run on any host.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/setup.sh
scripts/build.sh --native

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
(cd build/native && ctest --output-on-failure)

echo "== fuzz targets (libFuzzer, ${VELUNOR_FUZZ_SECONDS:-30} s each)"
scripts/fuzz.sh

runnable=$(scripts/wine-arch.sh)
# Windows test programs running at once, each in a Wine prefix of its own:
# four, or one a processor on a smaller host.
cpus=$(nproc 2>/dev/null || echo 1)
prefixes=${VELUNOR_WINE_PREFIXES:-$((cpus < 4 ? cpus : 4))}
ran=()
for arch in win64 win32; do
  if ! grep -qx "$arch" <<<"$runnable"; then
    if [ "$arch" = win32 ] && [ "${VELUNOR_WIN64_ONLY:-}" = "1" ]; then
      echo "== build/win32 not tested: VELUNOR_WIN64_ONLY=1"
    elif [ "$arch" = win32 ]; then
      why=$(/usr/lib/wine/wine --version 2>&1 | head -n 1 || true)
      echo "== build/win32 not tested: this host cannot start 32-bit Wine (${why:-no output})"
    else
      echo "== build/win64 cannot be tested: 64-bit Wine is missing" >&2
      exit 1
    fi
    continue
  fi
  echo "== Windows tests of build/$arch under $arch Wine (${prefixes} prefixes)"
  # The programs share the registry and the Favorites folder, so each runs in
  # a prefix of its own, one program per prefix at a time.
  VELUNOR_WINE_PREFIXES=$prefixes scripts/with-wine.sh "$arch" sh -c \
    'exec ctest --test-dir "$1" --output-on-failure -j "$VELUNOR_WINE_PREFIXES" --resource-spec-file "$VELUNOR_WINE_RESOURCES"' \
    sh "build/$arch"
  ran+=("$arch")
done
echo "== Windows builds tested: ${ran[*]}"
