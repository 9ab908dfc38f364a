#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) into build/fuzz and runs each for
# VELUNOR_FUZZ_SECONDS (default 30) from the seed corpus in tests/fuzz/corpus.
# What a run finds is kept in build/fuzz, never in the repository. A crash,
# a sanitizer report or a hang fails the script; the failing input is left in
# build/fuzz/artifacts. Names of targets as arguments run only those.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${VELUNOR_FUZZ_SECONDS:-30}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(gif_decode_fuzz gif_roundtrip_fuzz ani_file_fuzz icon_file_fuzz quantize_fuzz)

echo "== build/fuzz (clang, libFuzzer)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELUNOR_FUZZ=ON \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build build/fuzz -j3 --target "${targets[@]}"

mkdir -p build/fuzz/artifacts
failed=()
for t in "${targets[@]}"; do
  work="build/fuzz/corpus/$t"
  mkdir -p "$work"
  echo "== $t for ${seconds}s"
  if ! "build/fuzz/tests/fuzz/$t" "$work" "tests/fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$t-" \
       >"build/fuzz/$t.log" 2>&1; then
    tail -n 40 "build/fuzz/$t.log"
    failed+=("$t")
  else
    grep -E "^(stat::number_of_executed_runs|Done [0-9]+ runs)" "build/fuzz/$t.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "== fuzzing failed: ${failed[*]} (inputs in build/fuzz/artifacts)" >&2
  exit 1
fi
echo "== fuzzing: ${#targets[@]} targets, no crash"
