#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the simulated host (32-bit Windows, through
# MinGW-w64), and plays the example playlist at the plug-in under Wine. Leaves the page in
# $B/demo with the placeholder logo beside it, as listeners would see it: the final off-line page,
# and the page as it stood while the last track played.
# Prints where they are. Extra arguments go to the host, e.g. --pace 1000 or --configure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-player.sh
demo="$PWD/$B/demo"
mkdir -p "$demo"
cp examples/sc-logo.jpg "$demo/"
rm -f "$demo/status-last-track.htm"
# --last-page is written in $demo, where the host runs.
run=(scripts/run-example.sh "$host" "$PWD/$B/win32/src/gen_SBeacon.dll" "$demo" --pace 300
     --last-page status-last-track.htm "$@")
# Wine needs a display for the host's window (and for the dialog with --configure). Under xvfb-run,
# Wine is let finish before the X server goes; otherwise its last process reports the lost connection.
if [ -n "${DISPLAY:-}" ]; then
  "${run[@]}"
else
  xvfb-run -a -s '-screen 0 1024x768x24' sh -c '"$@"; status=$?; wineserver -w; exit $status' sh "${run[@]}"
fi
wineserver -w
echo
echo "The page as the last track played: $demo/status-last-track.htm"
echo "The final (off-line) page:         $demo/status.htm"
echo "Beside them: the logo sc-logo.jpg and the settings plugin.ini."
echo "The plug-in DLL is $PWD/$B/win32/src/gen_SBeacon.dll."
