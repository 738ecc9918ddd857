#!/usr/bin/env bash
# Configures and builds folia into BUILD_DIR (default: build). Used by test.sh, run.sh and bench.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
type="${BUILD_TYPE:-Debug}"
# Lets builds in different folders share one compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true

gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE="$type" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
fi
cmake --build "$build" --parallel "${BUILD_JOBS:-$(nproc)}" ${BUILD_TARGET:+--target $BUILD_TARGET}
