#!/usr/bin/env bash
# Installs what is missing, builds, and runs the screen saver under Wine on a
# sample installation: first "/c" (configure), then "/s" (full screen).
# With a display ($DISPLAY) the showing runs there until a key or the mouse
# ends it; without one it runs on a virtual display, a screenshot is saved
# after a few seconds and the saver is ended.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/setup.sh --demo
scripts/build.sh
if [ -n "${DISPLAY:-}" ] && [ -z "${VELUNOR_DISPLAY:-}" ]; then export VELUNOR_DISPLAY=host; fi
exec scripts/with-wine.sh "$root/scripts/demo.sh"
