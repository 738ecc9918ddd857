#!/usr/bin/env bash
# Drives the app's road for a while against bookd failing three answers in ten
# (--fail-rate 0.3 --delay-ms 50) and prints what the session saw: steps, failures injected,
# notices by text, the book database's checks and anything left wrong.
#   scripts/fault-session.sh [SECONDS] [SEED]     (default 180 s, seed 1207)
# BUILD_DIR picks the build folder (default build); the test program is built when missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
seconds="${1:-180}"
seed="${2:-1207}"

if [ ! -x "$build/tests/folia_tests_faults" ]; then
  BUILD_DIR="$build" BUILD_TARGET=folia_tests_faults "$root/scripts/build.sh"
fi

export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --no-sandbox}"
export FOLIA_FAULT_SECONDS="$seconds" FOLIA_FAULT_SEED="$seed"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
"$build/tests/folia_tests_faults" --gtest_filter='FaultSessionTest.*' >"$log" 2>&1 || status=$?
# The session's own summary, then gtest's verdict and any failed expectation.
sed -n '/^fault session:/,/^\[/p' "$log" | sed '$d'
grep -E '^\[  (PASSED|FAILED) |Failure$|^Expected|^  Actual|showed "' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "fault session: the test program ended with status $status (log: kept at $log.keep)"
  cp "$log" "$log.keep"
fi
exit "$status"
