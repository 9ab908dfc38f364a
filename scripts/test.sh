#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test: the native
# rule tests under the sanitizers, then the Windows tests under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/setup.sh
scripts/build.sh --native

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
(cd build/native && ctest --output-on-failure)

echo "== Windows tests under Wine"
# One at a time: the programs share the registry and the Favorites folder.
scripts/with-wine.sh ctest --test-dir build/cross --output-on-failure
