#!/usr/bin/env bash
# Inside a Wine prefix (see with-wine.sh): lays out the sample installation
# and shows the screen saver. Called by run.sh.
#
# On a virtual display (no VELUNOR_DISPLAY=host) a screenshot of the showing
# is saved after a few seconds (VELUNOR_DEMO_SHOT_SECONDS, to the file
# VELUNOR_DEMO_SHOT) and the saver is ended with its end request; on the user's
# display it runs until a key or the mouse ends it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/demo-install.sh"

echo "Full screen (/s)"
wine "$install_unix/Velunor.scr" /s &
saver=$!
if [ "${VELUNOR_DISPLAY:-}" != "host" ]; then
  shot="${VELUNOR_DEMO_SHOT:-$root/build/velunor-showing.png}"
  # The system's browser control takes a few seconds per navigation under
  # Wine, so the three panes are all up after about 15 seconds.
  sleep "${VELUNOR_DEMO_SHOT_SECONDS:-20}"
  if command -v import >/dev/null 2>&1 && import -window root "$shot"; then
    echo "Screenshot of the showing: $shot"
  else
    echo "No screenshot: ImageMagick's import is missing (scripts/setup.sh --demo installs it)." >&2
  fi
  if ! wine "$bin/tests/wine/support/tools/post_message.exe" TForm1 end-saver >/dev/null 2>&1; then
    kill "$saver" 2>/dev/null || true
  fi
fi
wait "$saver" || true
echo "The saver has ended."
