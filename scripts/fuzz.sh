#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) into build/fuzz and runs each for
# VELUNOR_FUZZ_SECONDS (default 30) from its seed corpus in
# tests/fuzz/<name>/corpus. What a run finds is kept in build/fuzz, never in
# the repository. A crash, a sanitizer report or a hang fails the script; the
# failing input is left in build/fuzz/artifacts. Names as arguments run only
# those targets.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${VELUNOR_FUZZ_SECONDS:-30}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/*/CMakeLists.txt; do targets+=("$(basename "$(dirname "$f")")"); done
fi

echo "== build/fuzz (clang, libFuzzer)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELUNOR_FUZZ=ON >/dev/null
cmake --build build/fuzz -j"$(nproc)" --target velunor_fuzz_targets >/dev/null

mkdir -p build/fuzz/artifacts
failed=()
for t in "${targets[@]}"; do
  work="build/fuzz/corpus/$t"
  mkdir -p "$work"
  echo "== fuzz_$t for ${seconds}s"
  if ! "build/fuzz/tests/fuzz/$t/fuzz_$t" "$work" "tests/fuzz/$t/corpus" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$t-" \
       >"build/fuzz/$t.log" 2>&1; then
    tail -n 40 "build/fuzz/$t.log"
    failed+=("$t")
  else
    grep -E "^stat::number_of_executed_units" "build/fuzz/$t.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "== fuzzing failed: ${failed[*]} (inputs in build/fuzz/artifacts)" >&2
  exit 1
fi
echo "== fuzzing: ${#targets[@]} targets, no crash"
