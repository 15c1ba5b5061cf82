#!/usr/bin/env bash
# Builds every benchmark in Release, without sanitizers, and runs it:
#   $B/bench-native  history_bench and page_bench (Google Benchmark): the platform-free core;
#   $B/bench-win32   monitor_bench: the plug-in against the simulated player, under Wine inside
#                    Xvfb (the player is a window, and Wine needs a display to make one);
#                    and songbeacon-host --fast playing 24 hours of station time from a generated
#                    2,000-entry playlist at the real plug-in (wall time of the whole program);
#                    and a grid sweep (artist limits 0..30 x title limits 0..300:50, 217 settings,
#                    x 3 seeds x its default length, 72 h: three rotations of a generated 400-entry
#                    playlist, its replay through the plug-in included) against one ordinary
#                    72-hour --fast run of the same playlist, alternating, with the ratio; and the
#                    same for a grid whose title limits 400 and 500 starve the rotation (0..500:100,
#                    186 settings: one title loops while every other entry is refused), and one whose
#                    every setting starves it (an artist window of 1000, the title limit swept), whose
#                    replay through the plug-in must stay within its share of one run; and for
#                    generated playlists of 20,000 and 50,000 entries, the default sweep as
#                    songbeacon-tune.exe chooses it (its ranges, its length) against one ordinary
#                    --fast run of that length, the tool itself and the simulated player with the
#                    tool's ranges, alternating, with the ratio; and songbeacon-host --aired reading
#                    a year's air log (about 110,000 lines, made by scripts/make-air-log.sh) and
#                    reporting it, the prediction's five runs included.
# B is SONGBEACON_BUILD_DIR (default build), as for scripts/test.sh; Wine runs in $B/wineprefix.
# Machines here are shared and noisy, so each program runs several times: the native ones report
# their aggregates over the repetitions, and monitor_bench's figures are gathered as the median and
# the range over its runs. Figures and their meaning: docs/performance.md.
#
# And, with --sweep-length, natively: the default sweep's figures at shorter lengths than three
# rotations, set beside three rotations' on generated playlists of 2,000 to 20,000 entries (bench/
# sweep_length.cpp), the evidence for the sweep's default length.
#
# usage: scripts/bench.sh [--runs N] [--native-only | --windows-only | --host-only | --sweep-only | --sweep-length | --aired-only | --cpu | --air-log] [-- monitor_bench arguments]
#   --runs N   repetitions of each native benchmark, runs of monitor_bench, of the fast host and of the
#              sweep and its ordinary run (default 5)
#   --host-only  only the fast simulated host
#   --sweep-only only the sweeps against the ordinary run
#   --aired-only only the reading of a year's air log
#   --sweep-length only the study of the sweep's length (native, some minutes)
#   --cpu      the PollInterval curve: CPU stopped and playing, and detection latency, for 0, 1, 2, 5,
#              10 and 50 ms: monitor_bench --cpu-only (about a minute a run)
#   --air-log  the air log's cost: detection latency with the log off and on, interleaved in one run:
#              monitor_bench --air-log-only (about a minute a run)
#   after --    passed to every monitor_bench run, e.g. -- --changes 5000 --page-folder 'Z:\dev\shm'
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5 native=1 windows=1 fasthost=1 sweep=1 aired=1 length=0 benchmode=()
while (($#)); do
  case "$1" in
  --runs) runs=$2 && shift 2 ;;
  --native-only) windows=0 fasthost=0 sweep=0 aired=0 && shift ;;
  --windows-only) native=0 && shift ;;
  --host-only) native=0 windows=0 sweep=0 aired=0 && shift ;;
  --sweep-only) native=0 windows=0 fasthost=0 aired=0 && shift ;;
  --sweep-length) native=0 windows=0 fasthost=0 sweep=0 aired=0 length=1 && shift ;;
  --aired-only) native=0 windows=0 fasthost=0 sweep=0 && shift ;;
  --cpu) native=0 fasthost=0 sweep=0 aired=0 benchmode=(--cpu-only) && shift ;;
  --air-log) native=0 fasthost=0 sweep=0 aired=0 benchmode=(--air-log-only) && shift ;;
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

# A generated playlist on stdout: five entries per artist, the artists named from two syllables
# (the first of <first> kinds, the second of <second>) so that their first three letters collide
# now and then as real names do; lengths from 2:30 to 2:30 + <spread> - 1 seconds.
generatePlaylist() { # entries, first, second, spread, seed
  awk -v entries="$1" -v first="$2" -v second="$3" -v spread="$4" -v seed="$5" 'BEGIN {
    split("Ka Lo Me Ri Sa Tu Va Ne Bo Da Fi Gu Ha Jo Mi No Pe Ro Si Ze", a, " ")
    split("ran lin mor ves tal dun ker pix sol bry", b, " ")
    split("Blue Night Gold River Fire Stone Rain Glass Heart Road", w, " ")
    print "#EXTM3U"
    for (i = 0; i < entries; i++) {
      artist = a[int(i / 5) % first + 1] b[int(i / (5 * first)) % second + 1] (i % 3 == 0 ? " Band" : "")
      seed = (seed * 1103515245 + 12345) % 2147483648
      printf "#EXTINF:%d,%s - %s %s %d\n%s.mp3\n", 150 + seed % spread, artist, w[i % 10 + 1], w[int(i / 10) % 10 + 1], i, i
    }
  }'
}

if ((length)); then
  cmake -S . -B "$B/bench-native" -DCMAKE_BUILD_TYPE=Release -DSONGBEACON_SANITIZE=OFF >/dev/null
  cmake --build "$B/bench-native" -j"$JOBS" --target sweep_length >/dev/null
  mkdir -p "$B/bench-native/sweep-length"
  # Playlists of the 2,000-entry one's kind (200 artists, 2:30 to 7:00): a rotation of 6.6, 16.5,
  # 33 and 66 days. The lengths: a rotation, a rotation and a quarter, 60 days and two rotations.
  for entries in 2000 5000 10000 20000; do
    list="$B/bench-native/sweep-length/$entries.m3u"
    generatePlaylist "$entries" 20 10 271 "$entries" >"$list"
    echo "== sweep_length, $entries entries (load average $(load))"
    "$B/bench-native/bench/sweep_length" "$list" 1r 1.25r 60d 2r
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
    echo "== monitor_bench ${benchmode[*]} run $run of $runs under Wine (load average $(load))"
    # Through the wrapper ctest uses: Wine's lingering helpers never hold this script's pipes.
    xvfb-run -a -s '-screen 0 1024x768x24' cmake/wine-run.sh "$B/bench-win32/bench/monitor_bench.exe" "${benchmode[@]}" "$@" 2>&1 |
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

# Builds the plug-in and the simulated player for Windows and makes $folder ($B/bench-win32/<name>)
# with the DLL and a plugin.ini holding the two limits, the page on.
prepareHost() { # name, SameArtistCheckLimit, SameTitleCheckLimit
  source scripts/wine-prefix.sh
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT # this prefix's server only
  cmake -S . -B "$B/bench-win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$B/bench-win32" -j"$JOBS" --target gen_SBeacon songbeacon-host >/dev/null
  root=$PWD
  folder="$root/$B/bench-win32/$1"
  mkdir -p "$folder"
  cp "$B/bench-win32/src/gen_SBeacon.dll" "$folder/"
  printf '[Songbeacon]\r\nEnableHTMLOutput=1\r\nOutputFilename=status.htm\r\nRecentTitleListLength=10\r\n'\
'EnablePlaylistMonitoring=1\r\nSameArtistCheckLimit=%s\r\nSameTitleCheckLimit=%s\r\n' "$2" "$3" >"$folder/plugin.ini"
}

if ((fasthost)); then
  prepareHost fast-host 20 200
  # 2,000 entries by 400 artists, from 2:30 to 7:00.
  generatePlaylist 2000 20 10 271 12345 >"$folder/2000.m3u"
  times=()
  for ((run = 1; run <= runs; run++)); do
    log="$folder/run-$run.log"
    echo "== songbeacon-host --fast --hours 24, 2,000 entries, run $run of $runs (load average $(load))"
    start=$(date +%s.%N)
    (cd "$folder" && xvfb-run -a -s '-screen 0 1024x768x24' "$root/cmake/wine-run.sh" \
      "$root/$B/bench-win32/simhost/songbeacon-host.exe" gen_SBeacon.dll 2000.m3u --fast --hours 24 \
      --shuffle "$run" --quiet 2>&1 | tr -d '\r' | grep -v '^X connection to' >"$log") || true
    end=$(date +%s.%N)
    grep -q '^summary: ' "$log" || { echo "songbeacon-host failed: see $log" >&2 && exit 1; }
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
    echo "$(grep -E '^(summary|skip rate|\(fast run)' "$log" | tr '\n' ' ')wall ${wall} s"
    times+=("$wall")
  done
  printf '%s\n' "${times[@]}" | LC_ALL=C sort -g | awk '{ v[++n] = $1 } END {
    median = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    printf "== songbeacon-host --fast, 24 h of station time, 2,000 entries: median %.2f s [%.2f .. %.2f] over %d runs\n", median, v[1], v[n], n
  }'
fi

if ((sweep)); then
  prepareHost sweep 15 100
  # 400 entries by 80 artists, from 2:30 to 4:30: a rotation is about 23 hours, so 72 hours cover
  # three.
  generatePlaylist 400 16 5 121 4242 >"$folder/400.m3u"
  # The same with the page off, as the sweep's replays run: what the page costs an ordinary run.
  mkdir -p "$folder/page-off"
  cp "$folder/gen_SBeacon.dll" "$folder/400.m3u" "$folder/page-off/"
  sed 's/^EnableHTMLOutput=1/EnableHTMLOutput=0/' "$folder/plugin.ini" >"$folder/page-off/plugin.ini"
  # The reviewer's case: every setting of the sweep starves the rotation.
  mkdir -p "$folder/artist-1000"
  cp "$folder/gen_SBeacon.dll" "$folder/400.m3u" "$folder/artist-1000/"
  sed 's/^SameArtistCheckLimit=.*/SameArtistCheckLimit=1000\r/' "$folder/plugin.ini" >"$folder/artist-1000/plugin.ini"
  # One program's wall time in `where`, start-up included; its output in `log`.
  timedIn() { # where, log, program, arguments...
    local where=$1 log=$2 start end
    shift 2
    start=$(date +%s.%N)
    (cd "$where" && xvfb-run -a -s '-screen 0 1024x768x24' "$root/cmake/wine-run.sh" "$@" 2>&1 |
      tr -d '\r' | grep -v '^X connection to' >"$log") || true
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
  }
  # The simulated player on the 400-entry playlist; its output in $folder/<name>.log. It runs in
  # $folder, or in $folder/page-off or $folder/artist-1000 when the name begins with that.
  timed() { # name, host arguments...
    local name=$1 where=$folder
    shift
    [[ $name == page-off* ]] && where=$folder/page-off
    [[ $name == artist-1000* ]] && where=$folder/artist-1000
    timedIn "$where" "$folder/$name.log" "$root/$B/bench-win32/simhost/songbeacon-host.exe" gen_SBeacon.dll 400.m3u "$@"
  }
  median() { LC_ALL=C sort -g | awk '{ v[++n] = $1 } END {
    printf "%.2f [%.2f .. %.2f]", n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2, v[1], v[n] }'; }
  # The median of the array named `name`, with its range.
  medianOf() { # name
    local -n values=$1
    printf '%s\n' "${values[@]}" | median
  }
  # A sweep's own split from its last line, "mirror-seconds replay-seconds".
  sweepSplit() { # log
    sed -n 's/^(sweep in .* through the mirror in \([0-9.]*\) s, .* through the plug-in in \([0-9.]*\) s)$/\1 \2/p' "$1"
  }
  # One sweep, timed as above and checked, with its own split read from its last line: appends the
  # wall time, the mirror's and the replays' seconds and the ratio to the ordinary run `one` to the
  # arrays <prefix>Wall, <prefix>Mirror, <prefix>Replay and <prefix>Ratio.
  sweepRun() { # prefix, name, host arguments...
    local prefix=$1 name=$2 all inside
    local -n wall=${prefix}Wall inMirror=${prefix}Mirror inReplay=${prefix}Replay ratio=${prefix}Ratio
    shift 2
    all=$(timed "$name" "$@")
    grep -q '^replay through the plug-in: .* as the mirror did$' "$folder/$name.log" ||
      { echo "the sweep failed: see $folder/$name.log" >&2 && exit 1; }
    inside=$(sweepSplit "$folder/$name.log")
    echo "$name ${all} s (mirror ${inside% *} s, replays ${inside#* } s); $(grep -o 'decided all [0-9]* tracks' "$folder/$name.log")"
    wall+=("$all") inMirror+=("${inside% *}") inReplay+=("${inside#* }")
    ratio+=("$(awk -v a="$all" -v b="$one" 'BEGIN { printf "%.2f", a / b }')")
  }
  # shellcheck disable=SC2034 # the arrays are filled and read by name (sweepRun, medianOf)
  ordinary=() pageOff=() gridWall=() gridMirror=() gridReplay=() gridRatio=()
  # shellcheck disable=SC2034
  starvingWall=() starvingMirror=() starvingReplay=() starvingRatio=()
  # shellcheck disable=SC2034
  everyWall=() everyMirror=() everyReplay=() everyRatio=()
  for ((run = 1; run <= runs; run++)); do
    echo "== ordinary --fast --hours 72, the sweep --sweep-artist 0..30 --sweep-title 0..300:50 and the starving" \
      "--sweep-artist 0..30 --sweep-title 0..500:100, --seeds 3, 400 entries, run $run of $runs (load average $(load))"
    one=$(timed ordinary-$run --fast --hours 72 --shuffle "$run" --quiet)
    grep -q '^summary: ' "$folder/ordinary-$run.log" || { echo "the ordinary run failed: see $folder/ordinary-$run.log" >&2 && exit 1; }
    quiet=$(timed page-off-$run --fast --hours 72 --shuffle "$run" --quiet)
    echo "ordinary ${one} s (page off ${quiet} s); $(grep -E '^(summary|skip rate)' "$folder/ordinary-$run.log" | tr '\n' ' ')"
    ordinary+=("$one") pageOff+=("$quiet")
    sweepRun grid sweep-$run --sweep-artist 0..30 --sweep-title 0..300:50 --seeds 3 --shuffle "$run"
    sweepRun starving starving-$run --sweep-artist 0..30 --sweep-title 0..500:100 --seeds 3 --shuffle "$run"
    sweepRun every artist-1000-$run --sweep-title 0..150:50 --seeds 3 --shuffle "$run"
  done
  echo "== over $runs runs: median [lowest .. highest], wall time of the whole program under Wine"
  echo "ordinary 72-hour --fast run:          $(medianOf ordinary) s"
  echo "  the same with the page off:         $(medianOf pageOff) s"
  echo "sweep, 217 settings x 3 seeds x 72 h: $(medianOf gridWall) s"
  echo "  of which the 651 runs of the mirror: $(medianOf gridMirror) s"
  echo "  and the 3 replays of the plug-in:   $(medianOf gridReplay) s"
  echo "sweep / ordinary run, per pair:       $(medianOf gridRatio) (goal: at most 3)"
  echo "starving grid, 186 settings x 3 seeds x 72 h: $(medianOf starvingWall) s"
  echo "  of which the 558 runs of the mirror: $(medianOf starvingMirror) s"
  echo "  and the 3 replays of the plug-in:   $(medianOf starvingReplay) s"
  echo "starving grid / ordinary run, per pair: $(medianOf starvingRatio) (goal: at most 3)"
  echo "every setting starving (artist limit 1000), 4 settings x 3 seeds: $(medianOf everyWall) s"
  echo "  of which the 12 runs of the mirror: $(medianOf everyMirror) s"
  echo "  and the 3 replays of the plug-in:   $(medianOf everyReplay) s"
  echo "every setting starving / ordinary run, per pair: $(medianOf everyRatio) (goal: at most 2)"

  # The default sweep of a long playlist: songbeacon-tune.exe as an operator starts it (it chooses
  # the ranges and the length; it runs at below-normal priority on every processor but the first),
  # the simulated player with the tool's ranges (the same program as the ordinary run), and one
  # ordinary --fast run of the sweep's length, alternating.
  cmake --build "$B/bench-win32" -j"$JOBS" --target songbeacon-tune >/dev/null
  for entries in 20000 50000; do
    big="$folder/big-$entries"
    mkdir -p "$big"
    cp "$folder/gen_SBeacon.dll" "$folder/plugin.ini" "$B/bench-win32/simhost/songbeacon-tune.exe" "$big/"
    # $entries entries by 200 artists, from 2:30 to 7:00, as the 2,000-entry playlist.
    generatePlaylist "$entries" 20 10 271 "$entries" >"$big/$entries.m3u"
    # The sweep's default length (docs/tuning.md): three rotations, at least 72 hours; when three
    # take more than 60 days, 60 days or one rotation and a quarter, whichever is longer.
    hours=$(awk -F'[:,]' '/^#EXTINF:/ { r += $2 } END { d = 60 * 86400; l = 3 * r
      if (l > d) l = r + int(r / 4) > d ? r + int(r / 4) : d
      printf "%.6f", (l > 72 * 3600 ? l : 72 * 3600) / 3600 }' "$big/$entries.m3u")
    # shellcheck disable=SC2034 # read by name (medianOf)
    bigOrdinary=() tuneWall=() tuneRatio=() hostWall=() hostMirror=() hostReplay=() hostRatio=()
    for ((run = 1; run <= runs; run++)); do
      echo "== $entries entries: ordinary --fast --hours $hours, songbeacon-tune and the simulated player's sweep" \
        "over the tool's ranges, run $run of $runs (load average $(load))"
      one=$(timedIn "$big" "$big/ordinary-$run.log" "$root/$B/bench-win32/simhost/songbeacon-host.exe" \
        gen_SBeacon.dll "$entries.m3u" --fast --hours "$hours" --shuffle "$run" --quiet)
      grep -q '^summary: ' "$big/ordinary-$run.log" || { echo "the ordinary run failed: see $big/ordinary-$run.log" >&2 && exit 1; }
      echo "ordinary ${one} s; $(grep -E '^(summary|skip rate)' "$big/ordinary-$run.log" | tr '\n' ' ')"
      tool=$(timedIn "$big" "$big/tune-$run.log" "$big/songbeacon-tune.exe" "$entries.m3u" --shuffle "$run" --no-browser)
      ranges=$(sed -n 's/^ranges: \(--sweep-artist [0-9.]* --sweep-title [0-9.:]*\), .*/\1/p' "$big/tune-$run.log")
      grep -q '^replay through the plug-in: .* as the mirror did$' "$big/tune-$run.log" && [ -n "$ranges" ] ||
        { echo "the tool's sweep failed: see $big/tune-$run.log" >&2 && exit 1; }
      grep -q "^each run: $(awk -v h="$hours" 'BEGIN { s = int(h * 3600 + 0.5)
        printf "%d:%02d:%02d", s / 3600, s % 3600 / 60, s % 60 }') of station time" "$big/tune-$run.log" ||
        { echo "the tool's length is not the bench's $hours hours: see $big/tune-$run.log" >&2 && exit 1; }
      echo "songbeacon-tune ${tool} s, $ranges; $(grep -E '^\(sweep in' "$big/tune-$run.log")"
      # shellcheck disable=SC2086 # the ranges are two options and their values
      all=$(timedIn "$big" "$big/sweep-$run.log" "$root/$B/bench-win32/simhost/songbeacon-host.exe" \
        gen_SBeacon.dll "$entries.m3u" $ranges --seeds 3 --shuffle "$run")
      grep -q '^replay through the plug-in: .* as the mirror did$' "$big/sweep-$run.log" ||
        { echo "the sweep failed: see $big/sweep-$run.log" >&2 && exit 1; }
      inside=$(sweepSplit "$big/sweep-$run.log")
      echo "songbeacon-host sweep ${all} s (mirror ${inside% *} s, replays ${inside#* } s); $(grep -o 'decided all [0-9]* tracks' "$big/sweep-$run.log")"
      bigOrdinary+=("$one") tuneWall+=("$tool") hostWall+=("$all") hostMirror+=("${inside% *}") hostReplay+=("${inside#* }")
      tuneRatio+=("$(awk -v a="$tool" -v b="$one" 'BEGIN { printf "%.2f", a / b }')")
      hostRatio+=("$(awk -v a="$all" -v b="$one" 'BEGIN { printf "%.2f", a / b }')")
    done
    echo "== $entries entries over $runs runs: median [lowest .. highest], wall time of the whole program under Wine"
    echo "ordinary --fast --hours $hours run:   $(medianOf bigOrdinary) s"
    echo "songbeacon-tune, its default sweep:   $(medianOf tuneWall) s"
    echo "  tool / ordinary run, per round:     $(medianOf tuneRatio)"
    echo "songbeacon-host, the tool's ranges:   $(medianOf hostWall) s"
    echo "  of which the runs of the mirror:    $(medianOf hostMirror) s"
    echo "  and the 3 replays of the plug-in:   $(medianOf hostReplay) s"
    echo "  sweep / ordinary run, per round:    $(medianOf hostRatio) (goal: at most 3)"
  done
fi

if ((aired)); then
  prepareHost aired 8 100
  scripts/make-air-log.sh >"$folder/year.log" # 365 days of a 600-entry playlist
  times=() inside=()
  for ((run = 1; run <= runs; run++)); do
    echo "== songbeacon-host --aired, a year's log of $(wc -l <"$folder/year.log") lines, run $run of $runs (load average $(load))"
    start=$(date +%s.%N)
    (cd "$folder" && "$root/cmake/wine-run.sh" "$root/$B/bench-win32/simhost/songbeacon-host.exe" --aired year.log 2>&1 |
      tr -d '\r' >"$folder/aired-$run.log") || true
    end=$(date +%s.%N)
    took=$(sed -n 's/^(read and reported in \([0-9.]*\) s of real time)$/\1/p' "$folder/aired-$run.log")
    [ -n "$took" ] || { echo "songbeacon-host --aired failed: see $folder/aired-$run.log" >&2 && exit 1; }
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
    echo "read and reported in $took s; the whole program under Wine $wall s"
    times+=("$wall") inside+=("$took")
  done
  median() { LC_ALL=C sort -g | awk '{ v[++n] = $1 } END {
    printf "%.2f [%.2f .. %.2f]", n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2, v[1], v[n] }'; }
  echo "== songbeacon-host --aired, a year's air log, over $runs runs: median [lowest .. highest]"
  echo "read and reported (the tool's own line): $(printf '%s\n' "${inside[@]}" | median) s (goal: at most 2)"
  echo "the whole program under Wine:            $(printf '%s\n' "${times[@]}" | median) s"
fi
