#!/usr/bin/env bash
# Prints the Wine architectures this host can run, one a line: "win64" always
# (when 64-bit Wine is installed), then "win32" when a 32-bit Wine program
# really starts here. Some x86-64 kernels refuse every 32-bit program, so the
# answer comes from trying, not from what is installed.
# VELUNOR_WIN64_ONLY=1 leaves win32 out (to exercise that path anywhere).
set -uo pipefail
if [ -x /usr/lib/wine/wine64 ]; then echo win64; fi
if [ "${VELUNOR_WIN64_ONLY:-}" = "1" ]; then exit 0; fi
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo win32
fi
exit 0
