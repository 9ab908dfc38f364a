#!/usr/bin/env bash
# Inside a Wine prefix (see with-wine.sh): lays out a sample installation and
# opens the settings program on it. Called by "run.sh settings".
#
# On a virtual display (no VELUNOR_DISPLAY=host) a screenshot of each of the
# seven pages is saved into build/ and the program is ended; on the user's
# display it runs until the user saves or discards.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${VELUNOR_BUILD_DIR:-$root/build/win32}"
install_unix="$WINEPREFIX/drive_c/Program Files/Velunor"
mkdir -p "$install_unix"
cp "$bin/settings/KAVIsu.exe" "$install_unix/"

setting() { wine reg add 'HKLM\Software\KAVI' /v "$1" /d "$2" /f >/dev/null 2>&1; }
wine reg add 'HKLM\Software\KAVI\Velunor' /v Base /d 'C:\Program Files\Velunor\' /f >/dev/null 2>&1
wine reg add 'HKLM\Software\KAVI\Velunor' /v BaseS /d 'C:\Program Files\Velunor\' /f >/dev/null 2>&1
setting DType 3
setting InterScreenT 30
setting Scroll y
setting ScrollVScrollT 30
setting ScrollVScrollY 2
setting DurationUse y
setting DurationTimeS 3
setting DurationTime 30

# The program makes the page-list folders at its first activation; the
# sample pages go in before it starts, so the folders are made here.
favorites=$(find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 3 -type d -name Favorites | head -n 1)
if [ -z "$favorites" ]; then
  favorites="$WINEPREFIX/drive_c/users/$USER/Favorites"
fi
for folder in Window1 Window2 Window3 Recommended; do mkdir -p "$favorites/Velunor/$folder"; done
shortcut() { printf '[InternetShortcut]\r\nurl=%s\r\n' "$2" >"$favorites/Velunor/$1"; }
shortcut Window1/example.com.url http://example.com
shortcut Window1/news.example.com.url http://news.example.com
shortcut Window2/weather.example.com.url http://weather.example.com
shortcut Window3/sport.example.com.url http://sport.example.com
shortcut Recommended/example.com.url http://example.com
shortcut Recommended/travel.example.com.url http://travel.example.com
shortcut Recommended/markets.example.com.url http://markets.example.com

echo "The settings program"
wine "$install_unix/KAVIsu.exe" &
program=$!
if [ "${VELUNOR_DISPLAY:-}" != "host" ]; then
  sleep 5
  for page in 1 2 3 4 5 6 7; do
    shot="$root/build/velunor-settings-page$page.png"
    if command -v import >/dev/null 2>&1 && import -window root "$shot"; then
      echo "Screenshot of page $page: $shot"
    else
      echo "No screenshot: ImageMagick's import is missing (scripts/setup.sh --demo installs it)." >&2
    fi
    wine "$bin/tests/wine/tools/step_tab.exe" "Velunor Setup - tmp" >/dev/null 2>&1 || true
    sleep 1
  done
  kill "$program" 2>/dev/null || true
fi
wait "$program" || true
echo "The settings program has ended."
