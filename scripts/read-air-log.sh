#!/usr/bin/env bash
# Reads the plug-in's air log (docs/air-log.md) and reports what went to air, as songbeacon-host
# --aired does (docs/tuning.md, "What went to air"): installs what is missing, builds the simulated
# player (as scripts/try-playlist.sh does) and runs it under Wine. File names are taken from the
# current folder.
#
# usage: scripts/read-air-log.sh <air.log> [playlist] [options]
#   playlist   the titles and their lengths (else those the log shows)
#   options    anything songbeacon-host --aired takes: --from DATE, --to DATE, the sweep's goals,
#              --sweep-artist and --sweep-title for a recommendation, --report FILE, --csv FILE
# Exits with the simulated player's status (docs/tuning.md, "Exit statuses").
set -euo pipefail
usage() { sed -n '/^# usage:/,/^# Exits/s/^# \{0,1\}//p' "$0"; }
[ "${1:-}" != --help ] || { usage && exit 0; }
[ $# -ge 1 ] && [ "${1:0:1}" != "-" ] || { usage >&2 && exit 1; }
[ -f "$1" ] || { echo "read-air-log: no such file: $1" >&2; exit 1; }
here=$PWD
cd "$(dirname "$0")/.."
source scripts/build-player.sh
cd "$here"
WINEDEBUG=-all wine "$host" --aired "$@"
