#!/usr/bin/env bash
# Builds every benchmark in Release, without sanitizers, and runs it:
#   $B/bench-native  history_bench and page_bench (Google Benchmark): the platform-free core;
#   $B/bench-win32   monitor_bench: the plug-in against the simulated player, under Wine inside
#                    Xvfb (the player is a window, and Wine needs a display to make one).
# B is SONGBEACON_BUILD_DIR (default build), as for scripts/test.sh; Wine runs in $B/wineprefix.
# Machines here are shared and noisy, so each program runs several times: the native ones report
# their aggregates over the repetitions, and monitor_bench's figures are gathered as the median and
# the range over its runs. Figures and their meaning: docs/performance.md.
#
# usage: scripts/bench.sh [--runs N] [--native-only | --windows-only] [-- monitor_bench arguments]
#   --runs N   repetitions of each native benchmark and runs of monitor_bench (default 5)
#   after --    passed to every monitor_bench run, e.g. -- --changes 5000 --page-folder 'Z:\dev\shm'
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5 native=1 windows=1
while (($#)); do
  case "$1" in
  --runs) runs=$2 && shift 2 ;;
  --native-only) windows=0 && shift ;;
  --windows-only) native=0 && shift ;;
  --) shift && break ;;
  *) sed -n '/^# usage:/,/^[^#]/s/^# \{0,1\}//p' "$0" >&2 && exit 2 ;;
  esac
done

scripts/setup.sh
JOBS=$(nproc)
B=${SONGBEACON_BUILD_DIR:-build}
mkdir -p "$B"
load() { cut -d' ' -f1-3 /proc/loadavg; }

if ((native)); then
  cmake -S . -B "$B/bench-native" -DCMAKE_BUILD_TYPE=Release -DSONGBEACON_SANITIZE=OFF >/dev/null
  cmake --build "$B/bench-native" -j"$JOBS" --target history_bench page_bench >/dev/null
  for program in history_bench page_bench; do
    echo "== $program: native, $runs repetitions (load average $(load))"
    "$B/bench-native/bench/$program" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true
  done
fi

if ((windows)); then
  source scripts/wine-prefix.sh
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT # this prefix's server only
  cmake -S . -B "$B/bench-win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$B/bench-win32" -j"$JOBS" --target monitor_bench >/dev/null
  logs=()
  for ((run = 1; run <= runs; run++)); do
    log="$B/bench-win32/monitor_bench-$run.log"
    echo "== monitor_bench run $run of $runs under Wine (load average $(load))"
    # Through the wrapper ctest uses: Wine's lingering helpers never hold this script's pipes.
    xvfb-run -a -s '-screen 0 1024x768x24' cmake/wine-run.sh "$B/bench-win32/bench/monitor_bench.exe" "$@" 2>&1 |
      tr -d '\r' | grep -v '^X connection to' >"$log" || true
    grep -v '^figure ' "$log"
    grep -q '^figure ' "$log" || { echo "monitor_bench failed: see $log" >&2 && exit 1; }
    logs+=("$log")
  done
  echo "== monitor_bench over $runs runs: median [lowest .. highest]"
  grep -h '^figure ' "${logs[@]}" | LC_ALL=C sort -k2,2 -k3,3g | awk '
    function flush() {
      if (n == 0) return
      median = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
      printf "%-46s %11.2f  [%.2f .. %.2f] %s\n", name, median, v[1], v[n], unit
    }
    $2 != name { flush(); name = $2; unit = $4; n = 0 }
    { v[++n] = $3 }
    END { flush() }'
fi
