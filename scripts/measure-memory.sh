#!/usr/bin/env bash
# Peak memory of the whole app during the screenshot walk: runs the walk through scripts/run.sh
# (folia --screenshots against bookd, offscreen, fresh home folder) and samples folia and every
# process it starts (the web engine's zygote, GPU and renderer processes) until it ends.
# Reports the peak of their summed PSS (shared pages divided among the processes that share
# them, so the sum is what the app costs the machine), the peak of their summed RSS (shared
# pages counted once per process: an upper bound), and who held what at the PSS peak.
#   scripts/measure-memory.sh                   Release build in build-release/
#   BUILD_DIR=dir BUILD_TYPE=Debug scripts/measure-memory.sh
#   INTERVAL=0.1 scripts/measure-memory.sh      sampling interval in seconds (default 0.2)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build-release}" BUILD_TYPE="${BUILD_TYPE:-Release}"
export BUILD_TARGET="${BUILD_TARGET:-folia bookd}"
interval="${INTERVAL:-0.2}"

work="$(mktemp -d)"
run_pid=""
cleanup() {
  [ -n "$run_pid" ] && kill "$run_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "memory: load before: $(cut -d' ' -f1-3 /proc/loadavg)"
FOLIA_HOME="$work/home" SCREENSHOTS="$work/shots" "$root/scripts/run.sh" >"$work/run.log" 2>&1 &
run_pid=$!

# The pid given and all its descendants, one a line.
tree() {
  ps -e -o pid=,ppid= | awk -v top="$1" '
    { kids[$2] = kids[$2] " " $1 }
    END {
      queue[0] = top; n = 1
      for (i = 0; i < n; i++) {
        print queue[i]
        m = split(kids[queue[i]], list, " ")
        for (j = 1; j <= m; j++) queue[n++] = list[j]
      }
    }'
}

# Waits for the folia process that run.sh starts after building (the build may take a while).
folia_pid=""
while kill -0 "$run_pid" 2>/dev/null; do
  for p in $(tree "$run_pid"); do
    if [ "$(cat "/proc/$p/comm" 2>/dev/null)" = "folia" ]; then folia_pid=$p; break; fi
  done
  [ -n "$folia_pid" ] && break
  sleep 0.1
done
if [ -z "$folia_pid" ]; then
  echo "memory: the walk did not start; the end of its log:" >&2
  tail -n 20 "$work/run.log" >&2
  exit 1
fi

peak_pss=0 peak_rss=0 peak_at="" samples=0 started=$SECONDS
: >"$work/peak"
while kill -0 "$folia_pid" 2>/dev/null; do
  files=()
  for p in $(tree "$folia_pid"); do files+=("/proc/$p/smaps_rollup"); done
  # "pid comm pss rss anon" per process, in kB (anon: the PSS of its heap and other memory not
  # backed by a file, as opposed to the libraries and fonts mapped); a process that ended
  # meanwhile is skipped.
  awk '
    FNR == 1 { split(FILENAME, part, "/"); pid = part[3]; pids[++n] = pid }
    /^Rss:/ { rss[pid] = $2 }
    /^Pss:/ { pss[pid] = $2 }
    /^Pss_Anon:/ { anon[pid] = $2 }
    END {
      for (i = 1; i <= n; i++) {
        p = pids[i]; comm = "?"
        if ((getline comm < ("/proc/" p "/comm")) <= 0) comm = "?"
        print p, comm, pss[p] + 0, rss[p] + 0, anon[p] + 0
      }
    }' "${files[@]}" 2>/dev/null >"$work/sample" || true
  read -r pss rss < <(awk '{ pss += $3; rss += $4 } END { print pss + 0, rss + 0 }' "$work/sample")
  samples=$((samples + 1))
  if [ "$pss" -gt "$peak_pss" ]; then
    peak_pss=$pss
    peak_at=$((SECONDS - started))
    cp "$work/sample" "$work/peak"
  fi
  [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
  sleep "$interval"
done

set +e
wait "$run_pid"
status=$?
set -e
run_pid=""
shots=$(find "$work/shots" -name '*.png' 2>/dev/null | wc -l)

mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }
echo "memory: walk exit status $status, $shots screenshots, $((SECONDS - started)) s, $samples samples"
echo "memory: load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "memory: peak summed PSS $(mb "$peak_pss") (at ${peak_at} s); peak summed RSS $(mb "$peak_rss")"
echo "memory: at the PSS peak (pid, process, PSS, of it not file-backed, RSS):"
sort -k3,3nr "$work/peak" | while read -r p comm pss rss anon; do
  printf '  %7s  %-16s %10s %10s %10s\n' "$p" "$comm" "$(mb "$pss")" "$(mb "$anon")" "$(mb "$rss")"
done
if [ "$status" -ne 0 ]; then
  echo "memory: the walk failed; the end of its log:" >&2
  tail -n 20 "$work/run.log" >&2
  exit "$status"
fi
