#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Exits with the tests' status.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${BUILD_DIR:-$root/build}"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --no-sandbox}"
cd "$build"
ctest --output-on-failure --timeout 600 -j "${TEST_JOBS:-2}" "$@"
