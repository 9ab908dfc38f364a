#!/usr/bin/env bash
# Inside a Wine prefix (see with-wine.sh): lays out a sample installation and
# shows the screen saver. Called by run.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$root/build/cross"
install_unix="$WINEPREFIX/drive_c/Program Files/Velunor"
mkdir -p "$install_unix"
cp "$bin/screensaver/Velunor.scr" "$install_unix/"
# The statistics template and the blank pages live beside the programs.
for page in reg.bin blank1.htm blank2.htm; do cp "$bin/screensaver/$page" "$install_unix/"; done
wine reg add 'HKLM\Software\KAVI\Velunor' /v Base /d 'C:\Program Files\Velunor\' /f >/dev/null 2>&1
wine reg add 'HKLM\Software\KAVI\Velunor' /v BaseS /d 'C:\Program Files\Velunor\' /f >/dev/null 2>&1

echo "Configure mode (/c): sets up the page-list folders"
wine "$install_unix/Velunor.scr" /c || true
shot="$root/build/velunor-showing.png"
echo "Full screen (/s)"
wine "$install_unix/Velunor.scr" /s &
saver=$!
if [ -n "${VELUNOR_WINE_WORK:-}" ] && [ "${VELUNOR_DISPLAY:-}" != "host" ]; then
  sleep 6
  if command -v import >/dev/null 2>&1; then
    import -window root "$shot" && echo "Screenshot of the showing: $shot"
  fi
  # WM_USER+2 ends the saver.
  "$bin/tests/wine/tools/post_message.exe" TForm1 1026 >/dev/null 2>&1 || kill "$saver" 2>/dev/null || true
fi
wait "$saver" || true
