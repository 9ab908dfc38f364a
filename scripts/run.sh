#!/usr/bin/env bash
# Installs what is missing, builds, and runs the product under Wine on a sample
# installation:
#   scripts/run.sh        the screen saver full screen ("/s")
#   scripts/run.sh tray   the tray launcher with its icon, menu and about box
#   scripts/run.sh settings   the settings program
#   scripts/run.sh scripted   the screen saver on the tests' scripted browser
#                         control, whose pages complete, scroll and reach the
#                         statistics page (the system's control under Wine
#                         completes none)
# Every one first lays out the sample installation, whose page-list folders the
# saver's configure mode ("/c") makes.
# The 32-bit build (the shipped one) where this host can run 32-bit code,
# the 64-bit build otherwise.
# With a display ($DISPLAY) the showing runs there until a key or the mouse
# ends it; without one it runs on a virtual display, a screenshot is saved
# after a few seconds and the saver is ended.
# "run.sh settings" opens the settings program instead (scripts/demo-settings.sh);
# without a display it saves a screenshot of each of its seven pages.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/setup.sh --demo
scripts/build.sh
if grep -qx win32 <<<"$(scripts/wine-arch.sh)"; then
  arch=win32
  echo "Showing the 32-bit build (the shipped programs)."
else
  arch=win64
  echo "This host cannot run 32-bit programs: showing the 64-bit build."
fi
if [ -n "${DISPLAY:-}" ] && [ -z "${VELUNOR_DISPLAY:-}" ]; then export VELUNOR_DISPLAY=host; fi
export VELUNOR_BUILD_DIR="$root/build/$arch"
case "${1:-saver}" in
  saver) demo=demo.sh ;;
  tray) demo=demo-tray.sh ;;
  settings) demo=demo-settings.sh ;;
  scripted) demo=demo-scripted.sh ;;
  *) echo "usage: $0 [tray|settings|scripted]" >&2; exit 2 ;;
esac
exec scripts/with-wine.sh "$arch" "$root/scripts/$demo"
