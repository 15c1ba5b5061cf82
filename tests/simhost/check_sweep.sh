#!/usr/bin/env bash
# A sweep through the real plug-in, as an operator runs one:
#   - on a playlist whose answer is forced (20 artists of five 4-minute titles: only an artist
#     window of 14 or more keeps an artist 60 minutes apart), it recommends 14, and the replay
#     through the plug-in agrees track for track; plugin.ini is as it was, byte for byte, and the
#     replay wrote no status page;
#   - when the skip ceiling is too low for that, it offers the choice instead: no "recommended:"
#     line, two to seven "choice:" lines, the nearest marked and replayed;
#   - the seeds and command it prints repeat it exactly; a length of fewer than three rotations
#     is warned about, and so are the title limits that starve the rotation;
#   - a row on one seed has the skip rate of an ordinary run with that seed and those limits;
#   - plugin.ini's own limits (3 / off) are swept beside the range asked, said before the answer,
#     marked in the short table (which fits 80 columns) and on the page; the whole table is the CSV;
#   - a setting that starves the rotation is replayed only until its loop shows (counted in tracks);
#   - a plug-in that decides otherwise than the mirror ends the sweep with status 7, the first
#     differing track named, and no recommendation; one that refuses to start for the replay ends
#     it with status 3, and no row is marked as recommended;
#   - the replay plays a copy in a folder of its own: a plugin.ini written beside the operator's DLL
#     during the replay (the same limits, another page), or created there, is byte for byte what was
#     written once the sweep has ended; a sweep killed during its replay leaves the DLL's folder with
#     the same files and bytes, and the next sweep removes the replay's folder it left;
#   - what an earlier version's sweep ended during its replay left beside plugin.ini is settled
#     once, its copy of the settings renamed and said where, and a later run says nothing;
#   - a plugin.ini that cannot be written (a folder in its place) no longer stops the replay.
#   check_sweep.sh <songbeacon-host.exe> <gen_SBeacon.dll> <gen_misbehaving.dll> <folder>
set -uo pipefail
host=$1 dll=$2 misbehaving=$3 folder=$4
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1
cp "$dll" gen_SBeacon.dll
cp "$misbehaving" gen_misbehaving.dll
export WINEDEBUG=-all
fail=0

awk 'BEGIN { print "#EXTM3U"
  for (t = 0; t < 5; t++) for (a = 0; a < 20; a++) {
    artist = sprintf("%cx%c Band", 65 + a, 97 + a)
    printf "#EXTINF:240,%s - Song %d\n%s %d.mp3\n", artist, t, artist, t
  } }' >spaced.m3u
printf '[Songbeacon]\r\nEnableHTMLOutput=1\r\nOutputFilename=status.htm\r\nEnablePlaylistMonitoring=1\r\n'\
'SameArtistCheckLimit=3\r\nSameTitleCheckLimit=0\r\n; the operator'"'"'s own note\r\n' >plugin.ini
cp plugin.ini operator.ini

host() { wine "$host" "$@" </dev/null 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
expect() { grep -qxF -- "$2" <<<"$1" || { echo "MISSING ($3): $2"; fail=1; }; }
# The table of a sweep's output: from its heading to its last row.
table() { sed -n '/^limits /,/^  limits: /p' <<<"$1"; }
untouched() { # what
  cmp -s plugin.ini operator.ini || { echo "FAIL ($1): plugin.ini is not as the operator left it"; fail=1; }
  [ -z "$(ls plugin.ini?* 2>/dev/null)" ] || { echo "FAIL ($1): files beside plugin.ini: $(ls plugin.ini?*)"; fail=1; }
}
prefix=${WINEPREFIX:-$HOME/.wine}
# Waits until the sweep `pid` replays through the copy of the plug-in named `dll`, in a replay folder
# of the temporary folder (or, as versions that wrote beside the DLL did, until their marks are in
# `folder`); false when the sweep ends first, or after two minutes.
replaying() { # pid, dll, folder
  local i
  for ((i = 0; i < 1200; i++)); do
    compgen -G "$prefix/drive_c/users/*/Temp/songbeacon-replay-*/$2" >/dev/null ||
      compgen -G "$prefix/drive_c/users/*/AppData/Local/Temp/songbeacon-replay-*/$2" >/dev/null ||
      compgen -G "$3/plugin.ini.*-sweep" >/dev/null && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# Every file under a folder with its checksum, one a line.
listing() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 cksum); }

echo "== the forced answer"
output=$(host gen_SBeacon.dll spaced.m3u --sweep-artist 12..16 --shuffle 5 --hours 24 --max-skip-rate 80 \
              --report sweep.html)
status=$?
echo "$output"
[ $status -eq 0 ] || { echo "FAIL: exit status $status"; fail=1; }
expect "$output" "recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0" forced
grep -qE '^replay through the plug-in: SameArtistCheckLimit=14 SameTitleCheckLimit=0 \(the title rule off\) on 3 seeds, the plug-in decided all [0-9]+ tracks of the first 8:00:00 of each seed.s run as the mirror did$' <<<"$output" ||
  { echo "FAIL: no agreeing replay of the recommended setting"; fail=1; }
expect "$output" "seeds: 5, 6, 7; this repeats the sweep exactly:" forced
[ -z "$(sed -n '/^recommended: /,$p' <<<"$output" | grep -v '^recommended: \|^  \|^safer nearby: ')" ] ||
  { echo "FAIL: the sweep does not end with its recommendation"; fail=1; }
grep -q '^settings: SameArtistCheckLimit 12..16 (5 settings) and 3 (now), SameTitleCheckLimit 0 (0: the rule off) as plugin.ini holds it; on 3 seeds: 18 runs$' <<<"$output" ||
  { echo "FAIL: plugin.ini's artist limit, 3, is not swept beside 12..16"; fail=1; }
grep -qE '^now: SameArtistCheckLimit=3 SameTitleCheckLimit=0, as plugin.ini holds them \(the title rule off\): .*; it misses the artist goal$' <<<"$output" &&
  [ "$(grep -A1 '^now: ' <<<"$output" | tail -n 1)" = "recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0" ] ||
  { echo "FAIL: the station's limits are not said before the answer"; fail=1; }
grep -qE '^     3    off .*  <- now$' <<<"$output" && [ "$(table "$output" | awk 'length > 80' | wc -l)" = 0 ] ||
  { echo "FAIL: the short table does not mark the station's limits within 80 columns"; fail=1; }
csv=$(tr -d '\r' <sweep.csv)
[ "$(grep -c . <<<"$csv")" = 7 ] && grep -q '^3,0,.*,now$' <<<"$csv" && grep -q '^14,0,.*,all,no,recommended$' <<<"$csv" ||
  { echo "FAIL: sweep.csv is not the whole table beside the page"; cat sweep.csv; fail=1; }
grep -q '<rect class="now"' sweep.html && grep -q 'dashed: now: 3 / off' sweep.html ||
  { echo "FAIL: the page does not mark the station's limits"; fail=1; }
grep -q '^== report:' <<<"$output" && { echo "FAIL: a sweep wrote the single run's report"; fail=1; }
grep -q '^warning: .*rotations of the playlist' <<<"$output" && { echo "FAIL: 24 h of 6:40:00 warned"; fail=1; }
untouched forced
[ ! -e status.htm ] || { echo "FAIL: the replay wrote the station's page"; fail=1; }
grep -q '<svg class="curves"' sweep.html && grep -q '>| recommended: 14 / off</text>' sweep.html ||
  { echo "FAIL: sweep.html lacks the chart with the recommended setting"; fail=1; }

echo "== no setting meets every goal: the choice"
output=$(host gen_SBeacon.dll spaced.m3u --sweep-artist 10..16 --shuffle 5 --hours 24 --max-skip-rate 30)
status=$?
echo "$output" | sed -n '/^no setting meets/,$p'
[ $status -eq 0 ] || { echo "FAIL: exit status $status"; fail=1; }
grep -q '^recommended:' <<<"$output" && { echo "FAIL: a recommendation though no setting meets every goal"; fail=1; }
# plugin.ini's 3 / off skips little enough, but brings artists back early: no goal binds alone.
grep -q '^no setting meets every goal; the goals conflict: the settings that keep artists apart enough skip at least [0-9.]* % (at most 30.0 % asked)' <<<"$output" ||
  { echo "FAIL: the conflict of the goals is not named"; fail=1; }
choices=$(grep -cE '^choice: SameArtistCheckLimit=[0-9]+ SameTitleCheckLimit=0 [0-9]+\.[0-9]{2} early returns of an artist a day \(worst seed\), skip rate [0-9.]+ %' <<<"$output")
[ "$choices" -ge 2 ] && [ "$choices" -le 7 ] || { echo "FAIL: $choices choice lines"; fail=1; }
nearest=$(sed -n 's/^choice: \(SameArtistCheckLimit=[0-9]* SameTitleCheckLimit=[0-9]*\) .*  <- nearest the goals$/\1/p' <<<"$output")
[ -n "$nearest" ] && grep -q "^replay through the plug-in: $nearest (the title rule off) on 3 seeds, the plug-in decided all" <<<"$output" ||
  { echo "FAIL: the nearest choice ($nearest) was not replayed"; fail=1; }
untouched choice

echo "== the printed command repeats the sweep"
first=$(host gen_SBeacon.dll spaced.m3u --sweep-artist 13..15 --sweep-title 0..200:100 --seeds 2 --hours 12)
[ $? -eq 0 ] || { echo "$first"; echo "FAIL: the sweep without a seed failed"; fail=1; }
grep -q '^warning: 12:00:00 of station time covers 1.8 rotations of the playlist' <<<"$first" ||
  { echo "$first"; echo "FAIL: no warning about fewer than three rotations"; fail=1; }
grep -q '^warning: SameTitleCheckLimit=100 and above starve the rotation, whatever the artist limit (8 of the 12 settings): a title limit of 100 leaves no title to play' <<<"$first" ||
  { echo "$first"; echo "FAIL: no warning that a title limit of 100 starves 100 titles"; fail=1; }
grep -qE '^  songbeacon-host gen_SBeacon.dll spaced.m3u --sweep-artist 13..15 --sweep-title 0..200:100 --seeds 2 --hours 12 --shuffle [0-9]+$' <<<"$first" ||
  { echo "FAIL: the command is not the one typed, with its drawn seed"; fail=1; }
command=$(grep -A1 '^seeds: ' <<<"$first" | tail -n 1 | sed 's/^  songbeacon-host //')
echo "repeating: $command"
second=$(eval "host $command")
[ -n "$(table "$first")" ] && [ "$(table "$first")" = "$(table "$second")" ] ||
  { echo "$second"; echo "FAIL: the printed command gave another table"; fail=1; }
untouched repeat

echo "== a row on one seed is an ordinary run with that seed"
output=$(host gen_SBeacon.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 21 --hours 24)
row=$(table "$output" | grep '^ *14 ')
swept=$(awk '{ print $3 }' <<<"$row")
sed -i 's/^SameArtistCheckLimit=3/SameArtistCheckLimit=14/' plugin.ini
ordinary=$(host gen_SBeacon.dll spaced.m3u --fast --hours 24 --shuffle 21 --quiet)
cp operator.ini plugin.ini
rate=$(sed -n 's/^skip rate: \([0-9.]*\) %.*/\1/p' <<<"$ordinary")
echo "sweep row: $row"
echo "ordinary run: $(grep '^skip rate' <<<"$ordinary")"
[ -n "$swept" ] && [ "$swept" = "$rate" ] || { echo "FAIL: the sweep's $swept % against the run's $rate %"; fail=1; }

echo "== a setting that starves the rotation is replayed until its loop shows, not through its laps"
# An artist window of 1000 refuses every entry once all 20 artists have played, but the title played
# last, which then plays again and again: half a day is some 17,000 tracks started, 99 refused for
# each one played. The replay needs the first few hundred of each seed.
sed 's/^SameArtistCheckLimit=3/SameArtistCheckLimit=1000/' operator.ini >plugin.ini
output=$(host gen_SBeacon.dll spaced.m3u --sweep-title 0..100:50 --shuffle 5 --hours 12)
status=$?
cp operator.ini plugin.ini
line=$(grep '^replay through the plug-in: ' <<<"$output")
echo "$line"
replayed=$(sed -n 's/.* the plug-in decided all \([0-9]*\) tracks.*/\1/p' <<<"$line")
[ $status -eq 0 ] && [ -n "$replayed" ] && [ "$replayed" -le 1500 ] ||
  { echo "$output" | tail -n 8; echo "FAIL: status $status; $replayed tracks replayed, where 1500 show the loop"; fail=1; }
grep -q '^  replayed as far as each run had shown every kind of decision it makes .*one title looping while every other entry is refused' <<<"$output" ||
  { echo "FAIL: the replay does not say it went as far as the loop"; fail=1; }

echo "== a plug-in that decides otherwise"
output=$(SB_MISBEHAVE=admit-everything host gen_misbehaving.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 \
              --hours 6)
status=$?
echo "$output"
[ $status -eq 7 ] || { echo "FAIL: exit status $status, expected 7"; fail=1; }
grep -qE '^error: replay through the plug-in: SameArtistCheckLimit=14 SameTitleCheckLimit=0 \(the title rule off\) on 1 seed, the plug-in decided otherwise than the mirror: seed 3, track [0-9]+ started \(station time [0-9:]+\): the plug-in played entry [0-9]+ ".*", the mirror skipped entry [0-9]+ ".*"$' <<<"$output" ||
  { echo "FAIL: the difference is not named"; fail=1; }
grep -q '^recommended:' <<<"$output" && { echo "FAIL: a recommendation after a difference"; fail=1; }
grep -q '<- recommended' <<<"$output" && { echo "FAIL: the table marks a setting the plug-in did not confirm"; fail=1; }
untouched disagreement

echo "== a plug-in that refuses to start for the replay"
output=$(SB_MISBEHAVE=refuse-start host gen_misbehaving.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 --hours 6)
status=$?
[ $status -eq 3 ] || { echo "$output"; echo "FAIL: exit status $status, expected 3"; fail=1; }
grep -q '<- recommended' <<<"$output" && { echo "FAIL: the table marks a setting the replay never confirmed"; fail=1; }
grep -q '<- unconfirmed' <<<"$output" || { echo "$output"; echo "FAIL: the replayed row is not said to be unconfirmed"; fail=1; }
untouched refused
echo "== plugin.ini written or created beside the DLL during the replay stays as written"
for case in written created; do
  mkdir -p "$case" && cp gen_SBeacon.dll "$case/gen_$case.dll" && cp spaced.m3u "$case/"
  [ $case = created ] || cp operator.ini "$case/plugin.ini"
  (cd "$case" && host gen_$case.dll spaced.m3u --sweep-artist 14 --seeds 3 --shuffle 3 --hours 24 >output.txt) &
  sweep=$!
  if replaying $sweep gen_$case.dll "$case"; then
    # The same limits, another page: what an operator might type while the sweep runs.
    printf '[Songbeacon]\r\nEnableHTMLOutput=1\r\nOutputFilename=elsewhere.htm\r\nEnablePlaylistMonitoring=1\r\n'\
'SameArtistCheckLimit=3\r\nSameTitleCheckLimit=0\r\n' >"$case/mine.ini"
    cp "$case/mine.ini" "$case/plugin.ini"
    kill -0 $sweep 2>/dev/null || echo "note ($case): the sweep had ended before the file was written"
  else
    echo "FAIL ($case): the replay was never seen"; fail=1
  fi
  wait $sweep
  status=$?
  [ $status -eq 0 ] || { cat "$case/output.txt"; echo "FAIL ($case): exit status $status"; fail=1; }
  cmp -s "$case/plugin.ini" "$case/mine.ini" || { echo "FAIL ($case): plugin.ini is not byte for byte as written"; fail=1; }
  [ -z "$(ls "$case"/plugin.ini?* 2>/dev/null)" ] || { echo "FAIL ($case): $(ls "$case"/plugin.ini?*) left"; fail=1; }
done

echo "== a sweep killed during its replay"
mkdir -p killed && cp gen_SBeacon.dll killed/gen_killed.dll && cp spaced.m3u operator.ini killed/ && cp operator.ini killed/plugin.ini
before=$(listing killed)
(cd killed && exec wine "$host" gen_killed.dll spaced.m3u --sweep-artist 14 --seeds 3 --shuffle 3 --hours 24 \
  </dev/null >/dev/null 2>&1) &
sweep=$!
if replaying $sweep gen_killed.dll killed; then
  left=$(compgen -G "$prefix/drive_c/users/*/Temp/songbeacon-replay-*/gen_killed.dll" ||
    compgen -G "$prefix/drive_c/users/*/AppData/Local/Temp/songbeacon-replay-*/gen_killed.dll")
  kill -KILL $sweep
else
  echo "FAIL (killed): the replay was never seen"; fail=1
fi
wait $sweep
after=$(listing killed)
[ "$before" = "$after" ] || { diff <(echo "$before") <(echo "$after"); echo "FAIL (killed): the DLL's folder changed"; fail=1; }
output=$(cd killed && host gen_killed.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 --hours 6)
status=$?
[ $status -eq 0 ] && [ -n "${left:-}" ] && [ ! -e "$(dirname "$left")" ] ||
  { echo "$output"; echo "FAIL (killed): status $status; the replay's folder ${left:-(none seen)} was not removed by the next sweep"; fail=1; }

echo "== an earlier version's marks beside plugin.ini"
mkdir -p marks && cp gen_SBeacon.dll spaced.m3u marks/ && cp operator.ini marks/plugin.ini.before-sweep
printf '[Songbeacon]\r\nEnableHTMLOutput=0\r\nSameArtistCheckLimit=14\r\n' >marks/plugin.ini # that replay's own
cksum <marks/plugin.ini >marks/plugin.ini.replay-written
cp marks/plugin.ini marks/replays.ini
for run in first second; do
  output=$(cd marks && host gen_SBeacon.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 --hours 6)
  status=$?
  notes=$(grep -c '^note: found .*plugin.ini.before-sweep, the settings an earlier version.s sweep kept aside .* they are now in .*plugin-before-an-ended-sweep.ini, and .*plugin.ini is used as it is' <<<"$output")
  [ $status -eq 0 ] && [ "$notes" -eq "$([ $run = first ] && echo 1 || echo 0)" ] ||
    { echo "$output"; echo "FAIL ($run run after the marks): status $status, $notes notes"; fail=1; }
done
cmp -s marks/plugin-before-an-ended-sweep.ini operator.ini && cmp -s marks/plugin.ini marks/replays.ini &&
  [ -z "$(ls marks/plugin.ini?* 2>/dev/null)" ] || { ls marks; echo "FAIL: the marks were not settled as said"; fail=1; }

echo "== a plugin.ini that cannot be written"
mkdir -p unwritable/plugin.ini && cp gen_SBeacon.dll spaced.m3u unwritable/
output=$(cd unwritable && host gen_SBeacon.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 --hours 6)
status=$?
[ $status -eq 0 ] && grep -q '^replay through the plug-in: .* the plug-in decided all' <<<"$output" ||
  { echo "$output"; echo "FAIL: status $status; the replay did not run beside a plugin.ini that cannot be written"; fail=1; }
exit $fail
