#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Exits with the tests' status.
#   scripts/test.sh [ctest options]
#   scripts/test.sh --sanitize [ctest options]   the same under AddressSanitizer and
#       UndefinedBehaviorSanitizer, built in its own folder (BUILD_DIR, default build-sanitize)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

sanitize=0
args=()
for a in "$@"; do
  if [ "$a" = "--sanitize" ]; then sanitize=1; else args+=("$a"); fi
done

"$root/scripts/setup.sh"
if [ "$sanitize" = 1 ]; then
  export BUILD_DIR="${BUILD_DIR:-$root/build-sanitize}"
  if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    gen=()
    command -v ninja >/dev/null && gen=(-G Ninja)
    flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
    cmake -S "$root" -B "$BUILD_DIR" "${gen[@]}" -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
      -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
  fi
  supp="$root/scripts/sanitize"
  # Leaks and reports that lie inside Qt, its plugins or the web engine are suppressed (each
  # with its reason in the file); ours fail the run.
  # new_delete_type_mismatch=0: Chromium inside the web engine frees some of its objects
  # through a base of another size (seen in WebContentsAdapter's destructor); ASan's suppression
  # files cannot name that report, so the check is off. Everything else halts the run.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:new_delete_type_mismatch=0:detect_stack_use_after_return=0}"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$supp/lsan.supp:print_suppressions=0}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp}"
fi
"$root/scripts/build.sh"
build="${BUILD_DIR:-$root/build}"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --no-sandbox}"
cd "$build"
ctest --output-on-failure --timeout "${TEST_TIMEOUT:-600}" -j "${TEST_JOBS:-2}" ${args[@]+"${args[@]}"}
