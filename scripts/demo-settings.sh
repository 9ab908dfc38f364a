#!/usr/bin/env bash
# Inside a Wine prefix (see with-wine.sh): lays out the sample installation
# and opens the settings program on it. Called by "run.sh settings".
#
# On a virtual display (no VELUNOR_DISPLAY=host) a screenshot of each of the
# seven pages is saved into build/ and the program is ended; on the user's
# display it runs until the user saves or discards.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/demo-install.sh"

# Candidate pages for the lists.
shortcut Recommended/Markets.url "C:\\Program Files\\Velunor\\samples\\markets.htm"
shortcut Recommended/Travel.url "C:\\Program Files\\Velunor\\samples\\travel.htm"

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
    wine "$bin/tests/wine/support/tools/step_tab.exe" "Velunor Setup - tmp" >/dev/null 2>&1 || true
    sleep 1
  done
  kill "$program" 2>/dev/null || true
fi
wait "$program" || true
echo "The settings program has ended."
