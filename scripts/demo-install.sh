#!/usr/bin/env bash
# Sourced by the demo scripts inside a Wine prefix (see with-wine.sh): lays out
# a sample installation. The install folder "C:\Program Files\Velunor" with
# the saver, the tray launcher, the settings program (those that are built)
# and the shipped pages; three panes, ten seconds a page, the debug panel on;
# a few local sample pages in each pane's list; the hand-over to the display
# settings marked as done.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${VELUNOR_BUILD_DIR:-$root/build/win32}"
install_unix="$WINEPREFIX/drive_c/Program Files/Velunor"
mkdir -p "$install_unix"
cp "$bin/screensaver/Velunor.scr" "$install_unix/"
# The statistics template and the blank pages live beside the programs.
for page in reg.bin blank1.htm blank2.htm; do cp "$bin/screensaver/$page" "$install_unix/"; done

. "$root/scripts/product-key.sh"
setting() { wine reg add "$product_key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
install_value() { wine reg add "$install_key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
install_value Base 'C:\Program Files\Velunor\'
install_value BaseS 'C:\Program Files\Velunor\'
# "W": the saver shows its debug panel with each pane's log.
install_value RadonW W
# "A": the tray launcher need not hand the saver to the display settings.
install_value Ravad A
setting DType 3
setting InterScreenT 10
setting Scroll y
setting ScrollVScrollT 30
setting ScrollVScrollY 1
setting DurationUse n

echo "Configure mode (/c): sets up the page-list folders"
wine "$install_unix/Velunor.scr" /c || true
# The other programs only now: configure mode starts the settings program
# from the install folder, and the sample wants only the folders it makes.
for program in tray/KAVIst.exe settings/KAVIsu.exe; do
  if [ -f "$bin/$program" ]; then cp "$bin/$program" "$install_unix/"; fi
done

# The page lists: one Internet Shortcut file per page.
favorites=$(find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 3 -type d -name Favorites | head -n 1)
if [ -z "$favorites" ] || [ ! -d "$favorites/Velunor/Window1" ]; then
  echo "The page-list folders were not made; see the saver's configure mode." >&2
  exit 1
fi
shortcut() { printf '[InternetShortcut]\r\nurl=%s\r\n' "$2" >"$favorites/Velunor/$1"; }
# Sample pages in the install folder: the machine may have no network, and a
# name lookup that waits for one would hold the showing up.
mkdir -p "$install_unix/samples"
for name in news weather sport markets travel local; do
  printf '<html><head><title>%s</title></head><body><h1>%s</h1></body></html>\r\n' "$name" "$name" \
    >"$install_unix/samples/$name.htm"
done
sample() { shortcut "$1" "C:\\Program Files\\Velunor\\samples\\$2.htm"; }
sample Window1/News.url news
sample Window1/Weather.url weather
sample Window1/Sport.url sport
sample Window2/Markets.url markets
sample Window2/Travel.url travel
sample Window3/Local.url local

