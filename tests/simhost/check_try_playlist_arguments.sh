#!/usr/bin/env bash
# scripts/try-playlist.sh refuses what it cannot use before it installs or builds anything: no
# playlist, a settings file that is not there, a limit outside 0 to 1000 (which the plug-in would
# take otherwise than meant). Each gets one line and status 1, and no build folder appears; --help
# gets the usage on stdout and status 0, an option without a playlist the usage and status 1.
#   check_try_playlist_arguments.sh <repository root> <scratch folder>
set -uo pipefail
root=$1 scratch=$2
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
export SONGBEACON_BUILD_DIR="$scratch/build"
printf '#EXTINF:200,Abba - SOS\r\nsos.mp3\r\n' >list.m3u
fail=0

refused() { # expected line, arguments...
  local expected=$1 output status
  shift
  output=$("$root/scripts/try-playlist.sh" "$@" 2>&1 </dev/null)
  status=$?
  echo "== $*: exit $status: $output" | head -n 1
  [ "$status" -eq 1 ] || { echo "FAIL: exited $status, expected 1"; fail=1; }
  [ "$output" = "$expected" ] || { echo "FAIL: expected exactly: $expected"; fail=1; }
}

for value in 1001 5000 -1 12abc 99999999999999999999 ""; do
  refused "try-playlist: --artist-limit needs a whole number from 0 to 1000, not '$value'" \
    list.m3u --fast --artist-limit "$value"
done
refused "try-playlist: --title-limit needs a whole number from 0 to 1000, not '1000.5'" list.m3u --title-limit 1000.5
refused "try-playlist: --title-limit needs a whole number from 0 to 1000, not ''" list.m3u --title-limit
refused "try-playlist: no such playlist: nothere.m3u" nothere.m3u
refused "try-playlist: --ini needs a settings file" list.m3u --ini nothere.ini
refused "try-playlist: --report needs a file name" list.m3u --report
help=$("$root/scripts/try-playlist.sh" --help 2>/dev/null </dev/null) && [[ $help == "usage: "*"--help "* ]] ||
  { echo "FAIL: --help did not exit 0 with the usage on stdout: $help"; fail=1; }
"$root/scripts/try-playlist.sh" --fast >/dev/null 2>&1 </dev/null && { echo "FAIL: no playlist, exit 0"; fail=1; }
[ ! -e "$SONGBEACON_BUILD_DIR" ] || { echo "FAIL: something was built before the arguments were checked"; fail=1; }
exit $fail
