#!/usr/bin/env bash
# Runs a command inside a throwaway Wine prefix of the given architecture on a
# virtual display. The prefix is booted once and a persistent wineserver keeps
# it warm, so each Windows process the command starts comes up quickly. Only
# this run's servers are stopped at the end; a developer's own prefix and
# display are never touched.
#
#   scripts/with-wine.sh win32|win64 COMMAND [ARGS...]
#
# Inside, "wine", "wineserver", "wineboot" and "winepath" on PATH are small
# wrappers over the Wine programs of that architecture: /usr/bin/wine picks the
# 32-bit loader whenever it is installed, even where the kernel cannot run it,
# and a plain link to wine64 does not start ("could not exec the wine loader").
#
# VELUNOR_WINE_PREFIXES=N (default 1) makes N such prefixes, each with its own
# display, home folder and server, so that N test programs can run at once:
# the command runs in the first, and the wrappers switch to prefix K for a test
# that ctest gives the resource "wine" K. Inside, VELUNOR_WINE_RESOURCES names
# the resource file that lists them:
#   ctest -j "$VELUNOR_WINE_PREFIXES" --resource-spec-file "$VELUNOR_WINE_RESOURCES"
#
# Set VELUNOR_DISPLAY=host to use the current $DISPLAY instead of Xvfb (one
# prefix only: windows of several would meet on it).
set -euo pipefail

self="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
xvfb_server_args="-screen 0 1024x768x24 -nolisten tcp"

if [ "${1:-}" = "--display" ]; then
  # Inside one more virtual display: it is prefix $2's; then the next display
  # or, after the last, the run.
  n=$2
  shift 2
  printf 'export DISPLAY=%q XAUTHORITY=%q\n' "$DISPLAY" "${XAUTHORITY:-}" >>"$VELUNOR_WINE_WORK/$n/env"
  if [ "$n" -lt "$VELUNOR_WINE_PREFIXES" ]; then
    exec xvfb-run -a -s "$xvfb_server_args" "$self" --display $((n + 1)) "$@"
  fi
  exec "$self" --inside "$@"
fi

if [ "${1:-}" = "--inside" ]; then
  shift
  prefixes=$(seq "$VELUNOR_WINE_PREFIXES")
  # The server first, then the boot: the services the boot starts then stay
  # up for the whole run, detached from the pipes of whatever runs the tests
  # (a test runner would otherwise wait for them to close its output).
  # The first Wine program in a new prefix boots it itself (it runs the
  # first-instance start-up and waits for it), so the boot step is a plain
  # wineboot: "wineboot --init" would run that start-up a second time and
  # leave two service managers, after which the COM service never starts and
  # every process that uses COM (the desktop's own at every start and exit)
  # waits for it in vain, about 3 s on the way in and 10 s on the way out.
  boot() (
    # shellcheck source=/dev/null
    . "$VELUNOR_WINE_WORK/$1/env"
    mkdir -p "$WINEPREFIX" "$HOME"
    wineserver -p
    wineboot </dev/null >/dev/null 2>&1 || true
    # Xvfb has no window manager, and Wine waits up to 2 s for one each time
    # a managed window (any captioned or screen-sized top-level window) is
    # hidden or destroyed. Nobody manages the windows here, so say so. The
    # desktop process the boot started read the setting before it was made,
    # and it would keep its windows (the notification-area icons among them)
    # managed for the whole run: the prefix is started once more.
    if [ "${VELUNOR_WINE_XVFB:-}" = 1 ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
      wineserver -k
      wineserver -w
      wineserver -p
      wineboot </dev/null >/dev/null 2>&1 || true
    fi
  )
  stop() (
    # shellcheck source=/dev/null
    . "$VELUNOR_WINE_WORK/$1/env"
    wineserver -k >/dev/null 2>&1 || true
  )
  trap 'for n in $prefixes; do stop "$n"; done' EXIT
  for n in $prefixes; do boot "$n" & done
  wait
  # shellcheck source=/dev/null
  . "$VELUNOR_WINE_WORK/1/env"
  set +e
  "$@"
  rc=$?
  set -e
  exit $rc
fi

arch="${1:-}"
case "$arch" in
  win32) loader=/usr/lib/wine/wine;   server=/usr/lib/wine/wineserver32 ;;
  win64) loader=/usr/lib/wine/wine64; server=/usr/lib/wine/wineserver64 ;;
  *) echo "usage: $0 win32|win64 COMMAND [ARGS...]" >&2; exit 2 ;;
esac
shift
for program in "$loader" "$server"; do
  if [ ! -x "$program" ]; then echo "$program is missing (scripts/setup.sh installs it)" >&2; exit 2; fi
done
count="${VELUNOR_WINE_PREFIXES:-1}"
case "$count" in
  [1-9] | [1-9][0-9]) ;;
  *) echo "VELUNOR_WINE_PREFIXES must be a number from 1 to 99, not \"$count\"" >&2; exit 2 ;;
esac
host_display=
if [ "${VELUNOR_DISPLAY:-}" = "host" ] && [ -n "${DISPLAY:-}" ]; then
  host_display=1
  count=1
fi

work=$(mktemp -d /tmp/velunor-wine.XXXXXX)
cleanup() {
  for n in $(seq "$count"); do
    WINEPREFIX="$work/$n/prefix" "$server" -k >/dev/null 2>&1 || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Prefix K of a run lives in $work/K; its env file names it, its home and its
# display. Wine links the prefix's Desktop and Documents into $HOME: a home of
# its own keeps the tests' files out of the user's (and out of each other's
# prefixes). The user's display still finds its X authority.
if [ -z "${XAUTHORITY:-}" ] && [ -f "$HOME/.Xauthority" ]; then export XAUTHORITY="$HOME/.Xauthority"; fi
resources=
for n in $(seq "$count"); do
  mkdir -p "$work/$n"
  printf 'export WINEPREFIX=%q HOME=%q\n' "$work/$n/prefix" "$work/$n/home" >"$work/$n/env"
  resources="$resources${resources:+,}{\"id\":\"$n\",\"slots\":1}"
done
printf '{"version":{"major":1,"minor":0},"local":[{"wine":[%s]}]}\n' "$resources" >"$work/resources.json"

# Each wrapper takes the prefix ctest gave the test ("id:K,slots:1"), if any.
bin="$work/bin"
mkdir -p "$bin"
wrapper() {
  printf '#!/bin/sh\ncase "${CTEST_RESOURCE_GROUP_0_WINE:-}" in\n'
  printf '  id:*) k=${CTEST_RESOURCE_GROUP_0_WINE#id:}; . "%s/${k%%%%,*}/env" ;;\nesac\n' "$work"
  printf 'exec %s "$@"\n' "$*"
}
wrapper "$loader" >"$bin/wine"
wrapper "$server" >"$bin/wineserver"
wrapper "$loader" wineboot.exe >"$bin/wineboot"
wrapper "$loader" winepath.exe >"$bin/winepath"
chmod +x "$bin"/*
export PATH="$bin:$PATH"
export WINELOADER="$loader"
export WINESERVER="$server"
export WINEARCH="$arch"
export WINEDEBUG=-all
# Never offer to install the .NET or HTML engines.
export WINEDLLOVERRIDES="mscoree,mshtml="
export VELUNOR_WINE_WORK="$work"
export VELUNOR_WINE_ARCH="$arch"
export VELUNOR_WINE_PREFIXES="$count"
export VELUNOR_WINE_RESOURCES="$work/resources.json"

if [ -n "$host_display" ]; then
  printf 'export DISPLAY=%q XAUTHORITY=%q\n' "$DISPLAY" "${XAUTHORITY:-}" >>"$work/1/env"
  "$self" --inside "$@"
else
  export VELUNOR_WINE_XVFB=1
  xvfb-run -a -s "$xvfb_server_args" "$self" --display 1 "$@"
fi
