#!/usr/bin/env bash
# CPU the slideshow costs while it shows three panes, against a reference
# program measured in the same run: a 30 ms window timer that lists the
# top-level windows and reads each visible unowned window's title (the least
# a slideshow tick must do). Counted: the program's own CPU time and the Wine
# server's, from /proc/<pid>/stat, over a fixed time after a warm-up.
#
#   bench/saver_cost.sh win64|win32 [runs] [warm-up s] [measured s]
#
# Needs the cross build of that architecture in build/<arch>.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--inside" ]; then
  arch=$2 runs=$3 warmup=$4 measure=$5
  build="${VELUNOR_BENCH_BUILD:-$root/build/$arch}"
  bench="$build/bench/wine/saver_bench.exe"
  hz=$(getconf CLK_TCK)

  # utime + stime of a process, in clock ticks.
  cpu_of() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
  # This prefix's server (other prefixes may run beside it).
  server_pid() {
    local p
    for p in $(pgrep wineserver); do
      if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then echo "$p"; return; fi
    done
  }
  # Runs one program for warm-up + measured seconds; prints "own server"
  # CPU percentages of one core over the measured part.
  measure() {
    local pid server a0 s0 a1 s1
    "$@" >/dev/null 2>&1 &
    pid=$!
    sleep "$warmup"
    server=$(server_pid)
    a0=$(cpu_of "$pid"); s0=$(cpu_of "$server")
    sleep "$measure"
    a1=$(cpu_of "$pid"); s1=$(cpu_of "$server")
    wine "$bench" end >/dev/null 2>&1 || true
    for _ in $(seq 1 60); do kill -0 "$pid" 2>/dev/null || break; sleep 1; done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    awk -v a=$((a1 - a0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$measure" \
      'BEGIN { printf "%.2f %.2f\n", 100 * a / hz / t, 100 * s / hz / t }'
  }

  wine "$bench" setup "$(winepath -w "$root/pages")" 3 10 >/dev/null 2>&1
  script=$(mktemp /tmp/velunor-standin.XXXXXX)
  # Pages that complete quickly and are taller than the pane, so every tick
  # also scrolls.
  echo "default complete=200 scroll=20000 client=600" >"$script"
  export VELUNOR_STANDIN_SCRIPT="$(winepath -w "$script")"

  declare -A total
  for run in $(seq 1 "$runs"); do
    ref=$(measure wine "$bench" reference $((warmup + measure + 5)))
    test=$(measure wine "$build/tests/wine/screensaver/Velunor_test.scr" /s)
    shipped=$(measure wine "$build/screensaver/Velunor.scr" /s)
    echo "run $run  reference $ref  test-build $test  shipped $shipped" |
      awk '{ r = $4 + $5; printf "run %s: reference %.2f%% + %.2f%% server; test build %.2f%% + %.2f%% (%.2fx); shipped %.2f%% + %.2f%% (%.2fx)\n",
             $2, $4, $5, $7, $8, ($7 + $8) / r, $10, $11, ($10 + $11) / r }'
    total[$run]="$ref $test $shipped"
  done
  # Medians of the ratios over the runs.
  for run in "${!total[@]}"; do echo "${total[$run]}"; done |
    awk '{ r = $1 + $2; print ($3 + $4) / r, ($5 + $6) / r }' >"$script.ratios"
  for col in 1 2; do
    name=$([ $col = 1 ] && echo "test build" || echo "shipped saver")
    sort -g -k$col,$col "$script.ratios" |
      awk -v c=$col -v n="$name" '{ v[NR] = $c } END { printf "median over %d runs, %s / reference: %.2fx\n", NR, n, v[int((NR + 1) / 2)] }'
  done
  rm -f "$script" "$script.ratios"
  exit 0
fi

arch=${1:-win64}
runs=${2:-3}
warmup=${3:-10}
measure=${4:-30}
case "$arch" in win32|win64) ;; *) echo "usage: $0 win64|win32 [runs] [warm-up s] [measured s]" >&2; exit 2 ;; esac
echo "saver CPU, $arch: $runs runs, ${warmup}s warm-up, ${measure}s measured; % of one core, own + wine server"
exec env VELUNOR_WINE_XVFB=1 "$root/scripts/with-wine.sh" "$arch" "$0" --inside "$arch" "$runs" "$warmup" "$measure"
