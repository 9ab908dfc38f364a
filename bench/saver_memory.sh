#!/usr/bin/env bash
# Memory and handles the slideshow holds as it changes pages:
# 1. the test build (stand-in browser), three panes, the shortest page time
#    and a fast clock, until 1,000 page changes: private bytes, handles, GDI
#    and USER objects after 50 and after 1,000 changes, as the process itself
#    reads them (VELUNOR_RESOURCE_LOG);
# 2. the real browser control made, navigated and freed 200 times as a pane
#    does it, counted the same way after 50 and after 200;
# 3. the shipped saver on the scripted browser control until 1,000 page
#    changes, counted after 50 and after 1,000 by the control inside the
#    saver's process. It runs in real time: without display settings (no
#    product key) the saver replaces each page at the first tick after
#    it completes, so the changes take about a minute.
#
#   bench/saver_memory.sh win64|win32
#
# Needs the cross build of that architecture in build/<arch>.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--inside" ]; then
  arch=$2
  build="${VELUNOR_BENCH_BUILD:-$root/build/$arch}"
  bench="$build/bench/wine/saver_bench.exe"
  report() {  # label, line after 50, line after N
    echo "$2" "$3" | awk -v label="$1" '{
      for (i = 1; i <= NF; i++) { split($i, kv, "="); k = (i > NF / 2 ? "b" : "a") kv[1]; v[k] = kv[2] }
      printf "%s\n  private bytes %.0f KB -> %.0f KB (%+.0f KB, %.3fx)\n  handles %d -> %d, GDI %d -> %d, USER %d -> %d\n",
        label, v["aprivate"] / 1024, v["bprivate"] / 1024, (v["bprivate"] - v["aprivate"]) / 1024,
        v["bprivate"] / v["aprivate"], v["ahandles"], v["bhandles"], v["agdi"], v["bgdi"], v["auser"], v["buser"] }'
  }
  # Runs a saver full screen until the log it writes has the line after
  # 1,000 page changes, ends it, and reports the lines after 50 and 1,000.
  saver_figures() {  # label, program, log
    wine "$2" /s >/dev/null 2>&1 &
    local pid=$! a b
    for _ in $(seq 1 600); do
      grep -q " resources 1000 " "$3" 2>/dev/null && break
      sleep 1
    done
    wine "$bench" end >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
    a=$(grep -o " resources 50 .*" "$3" | cut -d' ' -f4- | tr -d '\r' || true)
    b=$(grep -o " resources 1000 .*" "$3" | cut -d' ' -f4- | tr -d '\r' || true)
    if [ -n "$a" ] && [ -n "$b" ]; then
      echo "  after 50: $a"; echo "  after 1000: $b"
      report "$1, after 50 -> after 1000 page changes:" "$a" "$b"
    else
      echo "$1: did not reach 1000 page changes"; tail -3 "$3" || true
    fi
  }

  wine "$bench" setup "$(winepath -w "$root/pages")" 3 10 >/dev/null 2>&1
  work=$(mktemp -d /tmp/velunor-memory.XXXXXX)
  echo "default complete=5 scroll=20000 client=600" >"$work/script"
  export VELUNOR_STANDIN_SCRIPT="$(winepath -w "$work/script")"
  export VELUNOR_SAVER_LOG="$(winepath -w "$work/run.log")"
  export VELUNOR_RESOURCE_LOG=50
  export VELUNOR_CLOCK_SPEED=1000
  saver_figures "test build" "$build/tests/wine/screensaver/Velunor_test.scr" "$work/run.log"

  page=$(winepath -w "$root/pages/blank1.htm")
  out=$(wine "$bench" controls "$page" 200 2>/dev/null | tr -d '\r')
  a=$(echo "$out" | grep "^controls 50 " | cut -d' ' -f3- || true)
  b=$(echo "$out" | grep "^controls 200 " | cut -d' ' -f3- || true)
  if [ -n "$a" ] && [ -n "$b" ]; then
    echo "  after 50: $a"; echo "  after 200: $b"
    report "real browser control, after 50 -> after 200 made, navigated and freed:" "$a" "$b"
  else
    echo "real browser control: no figures"; echo "$out" | tail -3
  fi

  # The shipped saver, unchanged, on the scripted control; the control
  # writes the figures of the process it lives in.
  control=$(winepath -w "$build/tests/wine/support/scripted-control/ScriptedBrowser.dll")
  wine regsvr32 /s "$control"
  . "$root/scripts/product-key.sh"
  wine reg delete "$product_key" /f >/dev/null 2>&1
  # Without its install values the saver takes the default install folder.
  default_install="$WINEPREFIX/drive_c/Program Files/Velunor"
  mkdir -p "$default_install"
  for page in reg.bin blank1.htm blank2.htm; do cp "$root/pages/$page" "$default_install/"; done
  export VELUNOR_STANDIN_LOG="$(winepath -w "$work/control.log")"
  saver_figures "shipped saver on the scripted control" "$build/screensaver/Velunor.scr" "$work/control.log"
  wine regsvr32 /u /s "$control"
  rm -rf "$work"
  exit 0
fi

arch=${1:-win64}
case "$arch" in win32|win64) ;; *) echo "usage: $0 win64|win32" >&2; exit 2 ;; esac
echo "saver memory and handles, $arch"
exec "$root/scripts/with-wine.sh" "$arch" "$0" --inside "$arch"
