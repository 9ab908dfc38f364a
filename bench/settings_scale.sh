#!/usr/bin/env bash
# The settings program at scale against references measured in the same run
# (see bench/wine/SettingsBench.cpp): opening it on 200 and 2,000 pages
# against a plain list box filled from the same files, saving 2,000 pages
# with one removed against writing, moving and deleting as many small files,
# and opening and saving 5,000 pages with the form answering throughout.
#
#   bench/settings_scale.sh win64|win32 [small] [large] [huge]
#
# Needs the cross build of that architecture in build/<arch>.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--inside" ]; then
  arch=$2
  shift 2
  build="${VELUNOR_BENCH_BUILD:-$root/build/$arch}"
  wine "$build/bench/wine/settings_bench.exe" run "$(winepath -w "$build/settings/KAVIsu.exe")" "$@"
  exit
fi

arch=${1:?usage: bench/settings_scale.sh win64|win32 [small] [large] [huge]}
shift
exec "$root/scripts/with-wine.sh" "$arch" "$0" --inside "$arch" "$@"
