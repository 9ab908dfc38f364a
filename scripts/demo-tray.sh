#!/usr/bin/env bash
# Inside a Wine prefix (see with-wine.sh): lays out the sample installation
# and starts the tray launcher. Called by "run.sh tray".
#
# On a virtual display (no VELUNOR_DISPLAY=host) the tray icon's menu is
# opened as a right click on the icon would, and screenshots of the open menu
# and of the about box (Help, About) are saved; then the launcher is ended.
# On the user's display it runs until "Exit" is chosen from its menu.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/demo-install.sh"

post="$bin/tests/wine/support/tools/post_message.exe"
shoot() {
  if command -v import >/dev/null 2>&1 && import -window root "$1"; then
    echo "Screenshot: $1"
  else
    echo "No screenshot: ImageMagick's import is missing (scripts/setup.sh --demo installs it)." >&2
  fi
}

echo "Tray launcher"
wine "$install_unix/KAVIst.exe" &
launcher=$!
if [ "${VELUNOR_DISPLAY:-}" != "host" ]; then
  sleep 4
  # The icon's callback message with a right-button press and release: a
  # right click, and its menu opens. 0xB054 is kTrayCallbackMessage of
  # tray-components/KXShell.h.
  wine "$post" TKxTrayIconWindow 0xB054 0 0x204 >/dev/null 2>&1 || true
  wine "$post" TKxTrayIconWindow 0xB054 0 0x205 >/dev/null 2>&1 || true
  sleep 2
  shoot "$root/build/velunor-tray-menu.png"
  # Down to "Help", into its submenu, down to "About", choose it.
  for key in 0x28 0x28 0x28 0x27 0x28 0x0D; do
    wine "$post" TKxTrayIconWindow 0x100 "$key" >/dev/null 2>&1 || true
    sleep 0.3
  done
  sleep 2
  shoot "$root/build/velunor-tray-about.png"
  # WM_CLOSE to the about box: a form of the framework's window class
  # TVelunorForm (framework/Forms.cpp), the uppermost of that class while it is
  # up. The hidden main form has the same class and only hides on a close.
  wine "$post" TVelunorForm 0x10 >/dev/null 2>&1 || true
  sleep 1
  kill "$launcher" 2>/dev/null || true
fi
wait "$launcher" || true
echo "The tray launcher has ended."
