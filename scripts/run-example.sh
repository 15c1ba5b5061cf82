#!/usr/bin/env bash
# Runs the plug-in in the simulated host on the example playlist, in a folder of its own:
#   scripts/run-example.sh <songbeacon-host.exe> <gen_SBeacon.dll> <folder> [host options...]
# The folder receives the DLL, the example plugin.ini (whose OutputFilename is the relative
# status.htm) and the playlist; the host runs there, so the page is written there too.
set -euo pipefail
examples="$(cd "$(dirname "$0")/../examples" && pwd)"
host=$1 dll=$2 folder=$3
shift 3
mkdir -p "$folder"
cp "$dll" "$folder/gen_SBeacon.dll"
cp "$examples/plugin.ini" "$examples/station.m3u" "$folder/"
rm -f "$folder/status.htm"
cd "$folder"
export WINEDEBUG=-all
status=0
wine "$host" gen_SBeacon.dll station.m3u "$@" </dev/null || status=$?
exit $status
