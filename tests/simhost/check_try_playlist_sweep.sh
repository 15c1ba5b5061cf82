#!/usr/bin/env bash
# scripts/try-playlist.sh with a sweep, as an operator types it: its settings line names the limits
# the sweep tries in turn and the one it takes from plugin.ini (not plugin.ini's two limits, which
# the sweep does not use), and it hands the player the command as typed (its own name, the
# playlist's path as given, every option, --report included), for the sweep's line that repeats it.
# Wine, the build and the display are stand-ins that record what they are asked, so nothing is built.
#   check_try_playlist_sweep.sh <repository root> <scratch folder>
set -uo pipefail
root=$1 scratch=$2
rm -rf "$scratch" && mkdir -p "$scratch/bin" "$scratch/lists" && cd "$scratch" || exit 1
export SONGBEACON_BUILD_DIR="$scratch/build" WINEPREFIX="$scratch/prefix"
mkdir -p "$SONGBEACON_BUILD_DIR/win32/src" "$WINEPREFIX" && touch "$WINEPREFIX/system.reg"
touch "$SONGBEACON_BUILD_DIR/win32/src/gen_SBeacon.dll"
for tool in cmake wineboot wineserver winepath; do printf '#!/bin/sh\nexit 0\n' >"bin/$tool"; done
# The player: what it was given, one line each.
printf '#!/bin/sh\necho "typed: $SONGBEACON_TYPED_COMMAND"\nshift\necho "player: $*"\n' >bin/wine
chmod +x bin/*
export PATH="$scratch/bin:$PATH" DISPLAY=:stand-in
printf '#EXTINF:200,Abba - SOS\r\nsos.mp3\r\n' >"lists/My List.m3u"
fail=0

output=$("$root/scripts/try-playlist.sh" "lists/My List.m3u" --artist-limit 7 --title-limit 120 \
  --sweep-title 0..300:50 --report "it's.html" --seeds 2 2>&1 </dev/null)
echo "$output"
expect() { grep -qxF -- "$1" <<<"$output" || { echo "FAIL: expected the line: $1"; fail=1; }; }
grep -q "limits: artist 7, from plugin.ini, title swept (--sweep-title 0..300:50))$" <<<"$output" ||
  { echo "FAIL: the settings line does not say which limit is swept and which comes from plugin.ini"; fail=1; }
expect "typed: $root/scripts/try-playlist.sh lists/My\\ List.m3u --artist-limit 7 --title-limit 120 --sweep-title 0..300:50 --report it\\'s.html --seeds 2"
expect "player: gen_SBeacon.dll $scratch/lists/My List.m3u --sweep-title 0..300:50 --report $scratch/it's.html --seeds 2"

# Without a sweep the line gives plugin.ini's two limits, as before.
output=$("$root/scripts/try-playlist.sh" "lists/My List.m3u" --fast 2>&1 </dev/null)
grep -q "limits: artist 7, title 120)$" <<<"$output" || { echo "$output"; echo "FAIL: a run's limits"; fail=1; }

exit $fail
