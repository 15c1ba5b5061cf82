#!/usr/bin/env bash
# Tries a playlist and repeat limits on the real plug-in before going on air. Installs what is
# missing, builds the plug-in and the simulated player, puts the DLL and a plugin.ini in
# $B/try/ (B is SONGBEACON_BUILD_DIR, default build), and plays the playlist there under Wine,
# inside a virtual display when there is none. The page the plug-in writes lands in that folder.
#
# usage: scripts/try-playlist.sh <playlist> [--ini FILE] [--artist-limit N] [--title-limit N] [player options]
#   --ini FILE          use these settings (copied to $B/try/plugin.ini); without it the settings
#                       already there are kept, or the example settings are taken the first time
#   --artist-limit N    set SameArtistCheckLimit in $B/try/plugin.ini first
#   --title-limit N     set SameTitleCheckLimit in $B/try/plugin.ini first
#   player options      anything songbeacon-host takes, e.g. --fast --hours 24 --shuffle 7
#                       --report report.html (file names are taken from the current folder)
# Exits with the simulated player's status (README, "Trying your own playlist and limits").
set -euo pipefail
usage() { sed -n '/^# usage:/,/^# Exits/s/^# \{0,1\}//p' "$0" >&2; exit 1; }
[ $# -ge 1 ] && [ "${1:0:1}" != "-" ] || usage
[ -f "$1" ] || { echo "try-playlist: no such playlist: $1" >&2; exit 1; }
playlist=$(realpath "$1")
shift

ini="" artistLimit="" titleLimit="" args=()
while (($#)); do
  case "$1" in
  --ini) [ $# -ge 2 ] && [ -f "$2" ] || { echo "try-playlist: --ini needs a settings file" >&2; exit 1; }
    ini=$(realpath "$2") && shift 2 ;;
  --artist-limit | --title-limit)
    [[ ${2:-} =~ ^[0-9]+$ ]] || { echo "try-playlist: $1 needs a number from 0 to 1000" >&2; exit 1; }
    if [ "$1" = --artist-limit ]; then artistLimit=$2; else titleLimit=$2; fi
    shift 2 ;;
  --report | --log | --last-page) # files named from where the command was typed
    [ $# -ge 2 ] || { echo "try-playlist: $1 needs a file name" >&2; exit 1; }
    args+=("$1" "$(realpath -m "$2")") && shift 2 ;;
  *) args+=("$1") && shift ;;
  esac
done

cd "$(dirname "$0")/.."
source scripts/build-player.sh
folder="$PWD/$B/try"
mkdir -p "$folder"
cp "$B/win32/src/gen_SBeacon.dll" "$folder/"
if [ -n "$ini" ]; then
  cp "$ini" "$folder/plugin.ini"
elif [ ! -f "$folder/plugin.ini" ]; then
  cp examples/plugin.ini "$folder/plugin.ini"
fi
cd "$folder"
# Sets a key of [Songbeacon] in plugin.ini, keeping the file's line ends (the plug-in writes CR LF).
setKey() {
  grep -q '^\[Songbeacon\]' plugin.ini || printf '[Songbeacon]\r\n' >>plugin.ini
  if grep -q "^$1=" plugin.ini; then
    sed -i "s/^$1=[^\r]*/$1=$2/" plugin.ini
  else
    sed -i "/^\[Songbeacon\]/a $1=$2\r" plugin.ini
  fi
}
[ -z "$artistLimit" ] || setKey SameArtistCheckLimit "$artistLimit"
[ -z "$titleLimit" ] || setKey SameTitleCheckLimit "$titleLimit"
echo "settings: $folder/plugin.ini"

run=(wine "$host" gen_SBeacon.dll "$playlist" "${args[@]}")
status=0
# Wine needs a display for the player's window (and for the dialog with --configure).
if [ -n "${DISPLAY:-}" ]; then "${run[@]}" || status=$?; else
  xvfb-run -a -s '-screen 0 1024x768x24' "${run[@]}" || status=$?
fi
exit $status
