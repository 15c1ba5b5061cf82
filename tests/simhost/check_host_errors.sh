#!/usr/bin/env bash
# The simulated host as an operator meets it: a bad option, a missing file, an entry outside the
# playlist or a file far larger than a playlist (refused before it is read) gets a one-line error
# and exit status 1; titles without "Artist - Title" are warned about, and when nearly all lack it
# a sweep leaves its artist goal unjudged; plugin.ini values the plug-in will misread are
# warned about before it starts (a number beyond 32 bits by what the plug-in reads of it, a
# hexadecimal PollInterval by the plug-in's own reading, not the platform's); a page
# that is switched on but never written ends the run with status 6; --last-page keeps the page of
# the last track played; an air log that cannot be written is warned about, and the plug-in plays on;
# one that can is warned about too, since the simulated tracks go into it.
#   check_host_errors.sh <songbeacon-host.exe> <gen_SBeacon.dll> <folder>
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
host=$1 dll=$2 folder=$3
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1
cp "$dll" gen_SBeacon.dll
cp "$here/../../examples/station.m3u" .
export WINEDEBUG=-all
fail=0

ini() { # EnableHTMLOutput, OutputFilename
  printf '[Songbeacon]\r\nEnableHTMLOutput=%s\r\nOutputFilename=%s\r\nEnablePlaylistMonitoring=1\r\n'\
'SameArtistCheckLimit=3\r\nSameTitleCheckLimit=10\r\n' "$1" "$2" >plugin.ini
}
run() { # expected exit status, expected line, host arguments...
  local expected=$1 line=$2 output status
  shift 2
  output=$(wine "$host" "$@" </dev/null 2>&1 | tr -d '\r')
  status=${PIPESTATUS[0]}
  echo "== $*: exit $status"; echo "$output" | grep -vE '^ +[0-9]+  (played|skipped)|^ +why:' | head -n 12
  [ "$status" -eq "$expected" ] || { echo "FAIL: exited $status, expected $expected"; fail=1; }
  grep -qxF -- "$line" <<<"$output" || { echo "FAIL: did not say: $line"; fail=1; }
}

ini 1 status.htm
run 1 'error: cannot read the playlist nothere.m3u: no such file, or not readable' gen_SBeacon.dll nothere.m3u
run 1 'error: --pace: "abc" is not a number of milliseconds from 0 to 3600000' gen_SBeacon.dll station.m3u --pace abc
run 1 'error: --pace: "-5" is not a number of milliseconds from 0 to 3600000' gen_SBeacon.dll station.m3u --pace -5
run 1 'error: --stop 99: the playlist has only 13 entries' gen_SBeacon.dll station.m3u --stop 99
run 2 'error: cannot load the plug-in nothere.dll: no such file' nothere.dll station.m3u
# A file of 400 MB (sparse: it takes no room) is refused before it is read, not by the heap.
truncate -s 400M huge.m3u
run 1 "error: the playlist huge.m3u is 400.0 MB, more than the 64 MB a playlist may hold: no station's playlist comes near that size, so it is not read. Choose the playlist itself (.m3u, .m3u8, .txt)" \
  gen_SBeacon.dll huge.m3u
rm -f huge.m3u
# Bare titles: a warning; with 90 % or more of them, a sweep judges no artist goal.
{ for n in 1 2 3 4 5 6 7 8 9 10; do printf 'Song number %s\r\n' $n; done; printf 'Abba - SOS\r\n'; } >bare.txt
run 0 'warning: 10 of the 11 titles (90 %) have no "Artist - Title" form (an artist, " - ", then the title): the plug-in'"'"'s artist rule sees only the first characters of whatever such a title holds, and the figures cannot tell its artist' \
  gen_SBeacon.dll bare.txt --fast --tracks 3
run 0 '  the artist goal (60 minutes) is not judged: 90 % of the titles or more have no "Artist - Title" form, so the figures know the artist of too few plays; this answer rests on the skip goal alone' \
  gen_SBeacon.dll bare.txt --sweep-artist 0..1 --seeds 1 --hours 24 --shuffle 7

ini yes status.htm
run 0 'warning: EnableHTMLOutput=yes is not a whole number: the plug-in reads it as 0 and saves 0 back' \
  gen_SBeacon.dll station.m3u --fast
grep -qx 'EnableHTMLOutput=0' <(tr -d '\r' <plugin.ini) || { echo "FAIL: the plug-in did not save 0 back"; fail=1; }

# A number beyond 32 bits: the platform's reader keeps the low 32 bits, which switches the artist
# check off; the warning says what the plug-in reads, and the plug-in saves that back.
ini 1 status.htm
sed -i 's/^SameArtistCheckLimit=3/SameArtistCheckLimit=2147483648/' plugin.ini
run 0 'warning: SameArtistCheckLimit=2147483648 is a whole number outside the 32-bit range (-2147483648 to 2147483647): the plug-in reads it as -2147483648 and saves -2147483648 back' \
  gen_SBeacon.dll station.m3u --fast
grep -qx 'SameArtistCheckLimit=-2147483648' <(tr -d '\r' <plugin.ini) || { echo "FAIL: the plug-in did not save -2147483648 back"; fail=1; }

# A hexadecimal PollInterval: Wine's integer reader takes 0x10 as 16, but the plug-in reads it in
# decimal, as 0, the continuous poll; the warning says what the plug-in takes.
ini 1 status.htm
printf 'PollInterval=0x10\r\n' >>plugin.ini
run 0 'warning: PollInterval=0x10 is not a whole number: the plug-in reads it as 0, the continuous poll, which costs the most CPU (0x10 is hexadecimal: write 16)' \
  gen_SBeacon.dll station.m3u --fast

ini 1 'no-such-folder\status.htm'
run 6 'warning: the page'"'"'s folder no-such-folder does not exist: the plug-in cannot write no-such-folder\status.htm' \
  gen_SBeacon.dll station.m3u --fast
grep -q 'error: the status page is switched on but was never written' <<<"$(wine "$host" gen_SBeacon.dll station.m3u \
  --fast </dev/null 2>&1)" || { echo "FAIL: no error about the page never written"; fail=1; }

ini 1 status.htm
printf 'AirLog=C:\\no-such-folder\\air.log\r\n' >>plugin.ini
run 0 'warning: the air log'"'"'s folder C:\no-such-folder does not exist: the plug-in cannot write C:\no-such-folder\air.log (it keeps what lines it can and counts the rest until it can write)' \
  gen_SBeacon.dll station.m3u --fast
ini 1 status.htm
printf 'AirLog=C:\\windows\r\n' >>plugin.ini
run 0 'warning: the air log C:\windows cannot be written (it keeps what lines it can and counts the rest until it can write)' \
  gen_SBeacon.dll station.m3u --fast
ini 1 status.htm
printf 'AirLog=air.log\r\n' >>plugin.ini
run 0 "warning: the air log $(winepath -w "$PWD" 2>/dev/null)\\air.log (AirLog in plugin.ini) gets this simulated run's tracks as if they had gone to air: give the run a plugin.ini without AirLog to keep the station's log as it is" \
  gen_SBeacon.dll station.m3u --fast
grep -q $'\tplayed\t' air.log || { echo "FAIL: the run's tracks are not in air.log"; fail=1; }

ini 1 status.htm
run 0 'The page as it stood before shut-down is copied to last.htm.' gen_SBeacon.dll station.m3u --fast \
  --last-page last.htm
grep -q 'Simon &amp; Garfunkel - Mrs. Robinson &lt;Live&gt;' last.htm || { echo "FAIL: last.htm lacks the last track"; fail=1; }
grep -q 'off-line' last.htm && { echo "FAIL: last.htm is the off-line page"; fail=1; }
grep -q 'off-line' status.htm || { echo "FAIL: status.htm did not end off-line"; fail=1; }
exit $fail
