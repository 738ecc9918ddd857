#!/usr/bin/env bash
# Builds in Release (build-release/) and runs the benchmarks; extra arguments go to folia_bench.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# folia too: the start-up benchmarks launch it.
export BUILD_DIR="${BUILD_DIR:-$root/build-release}" BUILD_TYPE=Release BUILD_TARGET="folia_bench folia"
"$root/scripts/build.sh"
QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 FOLIA_HOME="$(mktemp -d)" \
  "$BUILD_DIR/benchmarks/folia_bench" "$@"
