#!/usr/bin/env bash
# Runs a command inside a throwaway Wine prefix of the given architecture on a
# virtual display. The prefix is booted once and a persistent wineserver keeps
# it warm, so each Windows process the command starts comes up quickly. Only
# this prefix's server is stopped at the end; a developer's own prefix and
# display are never touched.
#
#   scripts/with-wine.sh win32|win64 COMMAND [ARGS...]
#
# Inside, "wine", "wineserver", "wineboot" and "winepath" on PATH are small
# wrappers over the Wine programs of that architecture: /usr/bin/wine picks the
# 32-bit loader whenever it is installed, even where the kernel cannot run it,
# and a plain link to wine64 does not start ("could not exec the wine loader").
#
# Set VELUNOR_DISPLAY=host to use the current $DISPLAY instead of Xvfb.
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  shift
  # The server first, then the boot: the services the boot starts then stay
  # up for the whole run, detached from the pipes of whatever runs the tests
  # (a test runner would otherwise wait for them to close its output).
  # The first Wine program in a new prefix boots it itself (it runs the
  # first-instance start-up and waits for it), so the boot step is a plain
  # wineboot: "wineboot --init" would run that start-up a second time and
  # leave two service managers, after which the COM service never starts and
  # every process that uses COM (the desktop's own at every start and exit)
  # waits for it in vain, about 3 s on the way in and 10 s on the way out.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  wineboot </dev/null >/dev/null 2>&1 || true
  # Xvfb has no window manager, and Wine waits up to 2 s for one each time
  # a managed window (any captioned or screen-sized top-level window) is
  # hidden or destroyed. Nobody manages the windows here, so say so.
  if [ "${VELUNOR_WINE_XVFB:-}" = 1 ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  fi
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

work=$(mktemp -d /tmp/velunor-wine.XXXXXX)
bin="$work/bin"
mkdir -p "$bin"
printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$bin/wine"
printf '#!/bin/sh\nexec %s "$@"\n' "$server" >"$bin/wineserver"
printf '#!/bin/sh\nexec %s wineboot.exe "$@"\n' "$loader" >"$bin/wineboot"
printf '#!/bin/sh\nexec %s winepath.exe "$@"\n' "$loader" >"$bin/winepath"
chmod +x "$bin"/*
export PATH="$bin:$PATH"
export WINELOADER="$loader"
export WINESERVER="$server"

cleanup() {
  WINEPREFIX="$work/prefix" "$server" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# Wine links the prefix's Desktop and Documents into $HOME: a home of the
# run's own keeps the tests' files out of the user's (and out of each
# other's runs). The user's display still finds its X authority.
if [ -z "${XAUTHORITY:-}" ] && [ -f "$HOME/.Xauthority" ]; then export XAUTHORITY="$HOME/.Xauthority"; fi
export HOME="$work/home"
mkdir -p "$HOME"
export WINEPREFIX="$work/prefix"
export WINEARCH="$arch"
export WINEDEBUG=-all
# Never offer to install the .NET or HTML engines.
export WINEDLLOVERRIDES="mscoree,mshtml="
export VELUNOR_WINE_WORK="$work"
export VELUNOR_WINE_ARCH="$arch"

self="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
if [ "${VELUNOR_DISPLAY:-}" = "host" ] && [ -n "${DISPLAY:-}" ]; then
  "$self" --inside "$@"
else
  export VELUNOR_WINE_XVFB=1
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$self" --inside "$@"
fi
