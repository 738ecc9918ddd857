#!/usr/bin/env bash
# Installs what is missing, builds, starts the sample book service bookd on 127.0.0.1 and opens
# folia on it. Without a display the app runs offscreen and writes screenshots to
# ${SCREENSHOTS:-screenshots}/ instead of opening a window.
#   scripts/run.sh                 the app on the sample service
#   SCREENSHOTS=dir scripts/run.sh write every screen's screenshot into dir and quit
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${BUILD_DIR:-$root/build}"

data="${BOOKD_DATA:-$build/bookd-data}"
mkdir -p "$data"
bookd_pid=""
cleanup() { [ -n "$bookd_pid" ] && kill "$bookd_pid" 2>/dev/null || true; }
trap cleanup EXIT

service_args=()
if [ -x "$build/bookd" ]; then
  portfile="$(mktemp)"
  "$build/bookd" --data "$data" --host 127.0.0.1 --port 0 >"$portfile" 2>"$build/bookd.log" &
  bookd_pid=$!
  for _ in $(seq 1 100); do
    port="$(grep -o -m1 -E 'port [0-9]+' "$portfile" | grep -o -E '[0-9]+' || true)"
    [ -n "$port" ] && break
    sleep 0.1
  done
  rm -f "$portfile"
  if [ -z "${port:-}" ]; then echo "run: bookd did not start; see $build/bookd.log" >&2; exit 1; fi
  echo "run: bookd serves its sample catalog on http://127.0.0.1:$port (log: $build/bookd.log)"
  service_args=(--service-url "http://127.0.0.1:$port" --lookup-url "http://127.0.0.1:$port")
fi

if [ ! -x "$build/folia" ]; then
  echo "run: built; the folia app is not part of this build yet"
  [ -n "$bookd_pid" ] && { echo "run: bookd keeps running until Ctrl-C"; wait "$bookd_pid"; }
  exit 0
fi

export QTWEBENGINE_DISABLE_SANDBOX=1
if [ -n "${SCREENSHOTS:-}" ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
  out="${SCREENSHOTS:-$root/screenshots}"
  mkdir -p "$out"
  echo "run: no display; writing screenshots to $out"
  FOLIA_HOME="${FOLIA_HOME:-$(mktemp -d)}" QT_QPA_PLATFORM=offscreen \
    "$build/folia" "${service_args[@]}" --screenshots "$out" "$@"
else
  "$build/folia" "${service_args[@]}" "$@"
fi
