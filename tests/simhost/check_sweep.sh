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
#   - a setting that starves the rotation is replayed only until its loop shows (counted in tracks);
#   - a plug-in that decides otherwise than the mirror ends the sweep with status 7, the first
#     differing track named, and no recommendation; one that refuses to start for the replay ends
#     it with status 3, and no row is marked as recommended;
#   - the operator's plugin.ini left in plugin.ini.before-sweep by a sweep ended during its replay
#     is put back by the next run, before anything else, and said so; when it cannot be put back
#     the run refuses to start, says where it is, and leaves it and an earlier report as they were;
#   - a plugin.ini that cannot be written: the sweep's table and figures, then why no replay ran.
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
  [ ! -e plugin.ini.before-sweep ] || { echo "FAIL ($1): the copy of plugin.ini was left behind"; fail=1; }
}

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
[ "$(tail -n 2 <<<"$output" | head -n 1)" = "recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0" ] ||
  { echo "FAIL: the sweep does not end with its recommendation"; fail=1; }
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
grep -q '^no setting meets every goal; the skip goal binds: every setting swept has a median skip rate above 30.0 %' <<<"$output" ||
  { echo "FAIL: the binding goal is not named"; fail=1; }
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
grep -q '^warning: SameTitleCheckLimit=100 and above starve the rotation, whatever the artist limit (6 of the 9 settings): a title limit of 100 leaves no title to play' <<<"$first" ||
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
row=$(table "$output" | sed -n '3p')
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
grep -q '<- replayed, not confirmed' <<<"$output" || { echo "$output"; echo "FAIL: the replayed row is not said to be unconfirmed"; fail=1; }
untouched refused
echo "== plugin.ini left aside by a sweep ended during its replay"
printf '[Songbeacon]\r\nEnableHTMLOutput=0\r\nSameArtistCheckLimit=14\r\n' >plugin.ini # the replay's
cp operator.ini plugin.ini.before-sweep
cksum <plugin.ini >plugin.ini.replay-written # what the replay wrote, as the sweep records it
output=$(host gen_SBeacon.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 --hours 6)
status=$?
grep -q "^note: found .*plugin.ini.before-sweep, .*is put back from it" <<<"$output" ||
  { echo "$output"; echo "FAIL: the run does not say it put plugin.ini back"; fail=1; }
[ $status -eq 0 ] || { echo "FAIL: exit status $status after putting plugin.ini back"; fail=1; }
untouched "put back"
mkdir -p stuck && cp gen_SBeacon.dll spaced.m3u stuck/ && cp operator.ini stuck/plugin.ini.before-sweep
mkdir stuck/plugin.ini # cannot be written over
echo "<p>last week's sweep</p>" >stuck/old.html
output=$(cd stuck && host gen_SBeacon.dll spaced.m3u --sweep-artist 14 --seeds 1 --hours 6 --report old.html)
status=$?
echo "$output" | tail -n 1
[ $status -eq 1 ] || { echo "FAIL: exit status $status, expected 1"; fail=1; }
grep -q "^error: found .*plugin.ini.before-sweep, .*your settings are in .*plugin.ini.before-sweep" <<<"$output" ||
  { echo "FAIL: the refusal does not say where the settings are"; fail=1; }
cmp -s stuck/plugin.ini.before-sweep operator.ini || { echo "FAIL: the kept plugin.ini changed"; fail=1; }
[ "$(cat stuck/old.html)" = "<p>last week's sweep</p>" ] || { echo "FAIL: the earlier report was emptied"; fail=1; }

echo "== a plugin.ini that cannot be written"
mkdir -p unwritable/plugin.ini && cp gen_SBeacon.dll spaced.m3u unwritable/
output=$(cd unwritable && host gen_SBeacon.dll spaced.m3u --sweep-artist 14 --seeds 1 --shuffle 3 --hours 6)
status=$?
[ $status -eq 1 ] && [ -n "$(table "$output")" ] && tail -n 1 <<<"$output" | grep -q '^error: cannot write .*(read-only?)' ||
  { echo "$output"; echo "FAIL: status $status; the figures are not all out before the replay is refused"; fail=1; }
exit $fail
