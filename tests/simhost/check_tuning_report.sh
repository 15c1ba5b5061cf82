#!/usr/bin/env bash
# The tuning report through the real plug-in:
#   - a small playlist with one planted prefix collision and one planted spelling variant gives
#     exactly the expected counts;
#   - planted names: probably one artist under two names, titles without an artist, a title listed
#     twice, each listed apart; --hours goes round the playlist without --repeat;
#   - a title limit as long as the playlist leaves one title looping, named with its laps and
#     replays, and warned of before the run;
#   - the same seed gives the same report, HTML page and CSV log; another seed another log;
#   - --fast and real pacing, even a pace of 0, skip the same tracks for the same seed.
#   check_tuning_report.sh <songbeacon-host.exe> <gen_SBeacon.dll> <folder>
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
host=$1 dll=$2 folder=$3
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1
cp "$dll" gen_SBeacon.dll
cp "$here/../../examples/rotation.m3u" .
export WINEDEBUG=-all
fail=0

limits() { # artist window, title window
  printf '[Songbeacon]\r\nEnableHTMLOutput=1\r\nOutputFilename=status.htm\r\nEnablePlaylistMonitoring=1\r\n'\
'SameArtistCheckLimit=%s\r\nSameTitleCheckLimit=%s\r\n' "$1" "$2" >plugin.ini
}
m3u() { # file, then one "seconds,title" per entry
  local file=$1 entry n=0
  shift
  { echo '#EXTM3U'; for entry in "$@"; do n=$((n + 1)); printf '#EXTINF:%s\n%s.mp3\n' "$entry" "$n"; done; } >"$file"
}
host() { wine "$host" gen_SBeacon.dll "$@" </dev/null 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
play() { # case name, host arguments...: the output in $output, shown; a status other than 0 fails
  local name=$1 status
  shift
  output=$(host "$@")
  status=$?
  echo "$output" | grep -vE '^ +[0-9]+  (played|skipped)|^ +(why|note):' | grep -v '^$'
  [ $status -eq 0 ] || { echo "$name: exit status $status"; fail=1; }
}
# The report block of a run's output: from its heading to the note on artists.
report() { sed -n '/^== report:/,/^trailing ", The"/p' <<<"$1"; }
expect() { grep -qxF -- "$2" <<<"$1" || { echo "MISSING ($3): $2"; fail=1; }; }
expectAll() { # case name, lines the output must hold
  local name=$1 line
  shift
  for line in "$@"; do expect "$output" "$line" "$name"; done
}

echo "== planted collisions"
limits 3 10
m3u planted.m3u "354,Queen - Bohemian Rhapsody" "334,Queensryche - Silent Lucidity" "139,The Beatles - Help!" \
  "331,Massive Attack - Teardrop" "125,Beatles, The - Yesterday" "301,Portishead - Glory Box" \
  "264,Radiohead - Karma Police" "200,Abba - SOS" "164,ABBA - Waterloo" "122,Blur - Song 2"
play planted planted.m3u --fast --log planted.csv
expectAll planted \
  "    2  skipped  Queensryche - Silent Lucidity" \
  '               why: artist key "Que" as in "Queen - Bohemian Rhapsody", 1 track earlier' \
  "    5  played   Beatles, The - Yesterday" \
  '               note: the same artist as "The Beatles - Help!" within the artist window, spelt differently: the rule let it through' \
  '               why: artist key "ABB" as in "Abba - SOS", 1 track earlier' \
  "summary: 8 played, 2 skipped" \
  "longest run of skips in a row: 1" \
  "  refused, though that artist had not played within the window: 1" \
  "         1  Queen / Queensryche" \
  "  repeats let through, the same artist spelt differently within the window: 1" \
  "         1  Beatles, The / The Beatles" \
  "         1  ABBA - Waterloo" \
  "         1  Queensryche - Silent Lucidity" \
  "The status page Z:${folder//\//\\}\\status.htm was rewritten 8 times while playing, and once more at shut-down (off-line)."
[ "$(grep -c ',skipped,artist,' planted.csv)" = 2 ] || { echo "planted: the log does not hold 2 artist skips"; fail=1; }

echo "== planted names"
m3u names.m3u "212,Bob Marley - Jamming" "460,Bob Marley & The Wailers - Exodus" "5,Station ID (short)" \
  "30,Station ID (long)" "356,Guns N' Roses - Patience" "196,Guns and Roses - Yesterdays" "215,Pink - So What" \
  "382,Pink Floyd - Money" "10,Jingle" "10,Jingle"
play names names.m3u --fast
expectAll names \
  "summary: 6 played, 4 skipped" \
  "rotation: 1.0 pass through the playlist's 10 entries (it never came round)" \
  "   10  played   Jingle   (again: another entry with the same title)" \
  "  another entry with the same title: 1 time" \
  "         1  Jingle" \
  "titles listed more than once: 1 (they can play back to back, and no limit stops that)" \
  "    Jingle   (entries 9, 10)" \
  "  refused, though that artist had not played within the window: 1" \
  "         1  Pink / Pink Floyd" \
  "  probably the same artist under two names, refused as meant (not counted above): 2" \
  "         1  Bob Marley / Bob Marley & The Wailers" \
  "         1  Guns N' Roses / Guns and Roses" \
  "  titles without an artist, refused by the artist rule: 1" \
  "         1  Station ID (long) / Station ID (short)"
grep -q "^warning: the run ended after 1.0 pass through the playlist, before every entry could come back twice" \
  <<<"$output" || { echo "names: no warning about a run too short to judge the title limit"; fail=1; }
# --hours goes round the playlist (a quarter of an hour a pass at most here) without --repeat.
play "names, 2 hours" names.m3u --fast --hours 2 --quiet
grep -qE '^skip rate: .*; station time 2:0[0-9]:[0-9][0-9]$' <<<"$output" &&
  grep -qE '^rotation: .* \(it came round [0-9]+ times\)$' <<<"$output" ||
  { echo "names: --hours 2 did not go round the playlist for 2 hours"; fail=1; }

echo "== one title looping"
limits 1 6
m3u loop.m3u "200,Abba - SOS" "122,Blur - Song 2" "269,Coldplay - Yellow" "243,Doves - Pounding" \
  "220,Elbow - Grounds for Divorce" "237,Franz Ferdinand - Take Me Out"
play loop loop.m3u --fast --tracks 20
expectAll loop \
  "warning: a title limit of 6 leaves no title to play once all 6 titles of the playlist have played: from then on the plug-in refuses every entry but the one it admitted last, which plays again and again" \
  "    6  played   Franz Ferdinand - Take Me Out   (again: every other entry is refused, for good)" \
  "summary: 20 played, 70 skipped" \
  "skip rate: 77.8 % of the 90 tracks started; station time 1:16:49" \
  "rotation: 15.0 passes through the playlist's 6 entries (it came round 14 times)" \
  "longest run of skips in a row: 5 (5 of the 6 entries)" \
  "every entry refused in a row: 0 times" \
  "every entry but one refused, lap after lap: 14 laps (one title looping, below)" \
  "played twice in a row: 14 times" \
  "  one title looping, played again once every other entry was refused: 14 times" \
  "        14  Franz Ferdinand - Take Me Out   (the other 5 entries refused lap after lap: 14 laps)" \
  "        14  Franz Ferdinand   (0 tracks, 4 min)"
[ "$(grep -c '^    6  played   Franz Ferdinand - Take Me Out   (again' <<<"$output")" = 14 ] ||
  { echo "loop: not 14 replays on the console"; fail=1; }
grep -qE '^\(fast run in .* MB of memory at most\)$' <<<"$output" || { echo "loop: no memory figure"; fail=1; }

echo "== the same seed, the same report"
limits 12 150
runs=()
for seed in 11 11 12; do
  output=$(host rotation.m3u --fast --hours 12 --shuffle $seed --quiet --report "r$seed-${#runs[@]}.html" \
                --log "r$seed-${#runs[@]}.csv")
  status=$?
  [ $status -eq 0 ] || { echo "$output"; echo "seed $seed: exit status $status"; fail=1; }
  runs+=("$(report "$output")")
done
echo "${runs[0]}"
[ -n "${runs[0]}" ] || { echo "no report in the output"; fail=1; }
[ "${runs[0]}" = "${runs[1]}" ] || { echo "seed 11 gave two different reports"; diff <(echo "${runs[0]}") <(echo "${runs[1]}"); fail=1; }
cmp -s r11-0.html r11-1.html || { echo "seed 11 gave two different HTML reports"; fail=1; }
cmp -s r11-0.csv r11-1.csv || { echo "seed 11 gave two different logs"; fail=1; }
! cmp -s r11-0.csv r12-2.csv || { echo "seeds 11 and 12 gave the same log"; fail=1; }
expect "${runs[0]}" "== report: rotation.m3u, 302 entries, shuffled (seed 11), 12 h of station time" seed

echo "== --fast and real pacing skip the same tracks"
limits 12 150
host rotation.m3u --fast --shuffle 5 --tracks 20 --quiet --log fast.csv >fast.out; fast=$?
host rotation.m3u --pace 150 --shuffle 5 --tracks 20 --quiet --log paced.csv >paced.out; paced=$?
# A pace too short for the plug-in to poll in: each track waits for the plug-in's decision.
host rotation.m3u --pace 0 --shuffle 5 --tracks 20 --quiet --log pace0.csv >pace0.out; pace0=$?
[ $fast -eq 0 ] && [ $paced -eq 0 ] && [ $pace0 -eq 0 ] ||
  { cat fast.out paced.out pace0.out; echo "exit statuses $fast, $paced and $pace0"; fail=1; }
grep -q ',skipped,' fast.csv || { echo "the comparison needs a run with skips"; fail=1; }
diff fast.csv paced.csv || { echo "--fast and --pace 150 disagree"; fail=1; }
diff fast.csv pace0.csv || { echo "--fast and --pace 0 disagree"; fail=1; }
! grep -q "never looked at" pace0.out || { cat pace0.out; echo "--pace 0 left tracks unseen"; fail=1; }
exit $fail
