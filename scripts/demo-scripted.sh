#!/usr/bin/env bash
# Inside a Wine prefix (see with-wine.sh): the showing of demo.sh, but on the
# scripted browser control of the tests (tests/wine/support/scripted-control) in
# place of the system's, whose pages never complete under Wine. Called by
# "run.sh scripted". The saver is the shipped one, unchanged.
#
# Each page completes a second and a half after its navigation, is taller
# than its pane and scrolls; after pane 1's three pages comes the statistics
# page. The control paints the address it shows under a marker that says it
# is a stand-in. On a virtual display the screenshot is taken once pane 1
# shows the statistics page.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${VELUNOR_BUILD_DIR:-$root/build/win32}"
control="$bin/tests/wine/support/scripted-control/ScriptedBrowser.dll"
if [ ! -f "$control" ]; then echo "$control is missing: build $bin first" >&2; exit 1; fi
wine regsvr32 /s "$(winepath -w "$control")"
script="${VELUNOR_WINE_WORK:-/tmp}/scripted-showing.txt"
echo "default complete=1500 scroll=2400 client=600" >"$script"
export VELUNOR_STANDIN_SCRIPT="$(winepath -w "$script")"
export VELUNOR_DEMO_SHOT="$root/build/velunor-scripted.png"
export VELUNOR_DEMO_SHOT_SECONDS=38
exec "$root/scripts/demo.sh"
