#!/usr/bin/env bash
# Tries a playlist and repeat limits on the real plug-in before going on air. Installs what is
# missing, builds the plug-in and the simulated player, puts the DLL and a plugin.ini in
# $B/try/ (B is SONGBEACON_BUILD_DIR, default build), and plays the playlist there under Wine,
# inside a virtual display when there is none. The page the plug-in writes lands in that folder
# (unless the settings send it elsewhere), with the placeholder logo beside it as in the demo.
#
# usage: scripts/try-playlist.sh <playlist> [--ini FILE] [--artist-limit N] [--title-limit N] [player options]
#        scripts/try-playlist.sh --help
#   --ini FILE          use these settings: copied to $B/try/plugin.ini and kept there for later
#                       runs; without it the settings already there are kept, or the example
#                       settings are taken the first time. Each run says which it uses.
#   --artist-limit N    set SameArtistCheckLimit in $B/try/plugin.ini first (0 to 1000)
#   --title-limit N     set SameTitleCheckLimit in $B/try/plugin.ini first (0 to 1000)
#   player options      anything songbeacon-host takes, e.g. --fast --hours 24 --shuffle 7
#                       --report report.html (file names are taken from the current folder)
#   --help              this text
# Exits with the simulated player's status (docs/tuning.md, "Exit statuses").
set -euo pipefail
usage() { sed -n '/^# usage:/,/^# Exits/s/^# \{0,1\}//p' "$0"; }
[ "${1:-}" != --help ] || { usage && exit 0; }
[ $# -ge 1 ] && [ "${1:0:1}" != "-" ] || { usage >&2 && exit 1; }
[ -f "$1" ] || { echo "try-playlist: no such playlist: $1" >&2; exit 1; }
# The command as typed, for a sweep's line that repeats it: this script's name and every argument
# as given, quoted for the shell, from the folder it was typed in.
typed=$(printf '%q ' "$0" "$@")
typed=${typed% }
playlist=$(realpath "$1")
shift

ini="" artistLimit="" titleLimit="" args=()
while (($#)); do
  case "$1" in
  --ini) [ $# -ge 2 ] && [ -f "$2" ] || { echo "try-playlist: --ini needs a settings file" >&2; exit 1; }
    ini=$(realpath "$2") && shift 2 ;;
  --artist-limit | --title-limit) # the range the plug-in works with (it remembers 1000 tracks)
    if ! [[ ${2:-} =~ ^[0-9]{1,4}$ ]] || ((10#$2 > 1000)); then
      echo "try-playlist: $1 needs a whole number from 0 to 1000, not '${2:-}'" >&2
      exit 1
    fi
    if [ "$1" = --artist-limit ]; then artistLimit=$((10#$2)); else titleLimit=$((10#$2)); fi
    shift 2 ;;
  --report | --log | --last-page) # files named from where the command was typed
    [ $# -ge 2 ] || { echo "try-playlist: $1 needs a file name" >&2; exit 1; }
    args+=("$1" "$(realpath -m "$2")") && shift 2 ;;
  *) args+=("$1") && shift ;;
  esac
done

cd "$(dirname "$0")/.."
source scripts/build-player.sh
root=$PWD
mkdir -p "$B/try"
folder=$(realpath "$B/try")
cp "$B/win32/src/gen_SBeacon.dll" "$folder/"
# Where the settings came from, one line per change, so that a later run can say it.
origin="$folder/plugin.ini-origin.txt"
when=$(date '+%Y-%m-%d %H:%M')
if [ -n "$ini" ]; then
  [ "$ini" -ef "$folder/plugin.ini" ] || cp "$ini" "$folder/plugin.ini"
  echo "copied from $ini by a run with --ini, $when" >"$origin"
elif [ ! -f "$folder/plugin.ini" ]; then
  cp examples/plugin.ini "$folder/plugin.ini"
  echo "the example settings, copied from examples/plugin.ini, $when" >"$origin"
elif [ ! -f "$origin" ]; then
  echo "found there, origin unknown" >"$origin"
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
  sed -i "/^$1 set to /d" "$origin" # only the latest change of each key is told
  echo "$1 set to $2 with $3, $when" >>"$origin"
}
# The value of a key in plugin.ini, without its line end; empty when it is not there.
keyValue() { sed -n "s/^$1=\([^\r]*\)\r\{0,1\}\$/\1/p" plugin.ini | head -n 1; }
[ -z "$artistLimit" ] || setKey SameArtistCheckLimit "$artistLimit" --artist-limit
[ -z "$titleLimit" ] || setKey SameTitleCheckLimit "$titleLimit" --title-limit
# A limit a sweep tries in turn is not plugin.ini's: say which are swept and which are taken from it.
limitText() { # key, sweep option
  local i
  for ((i = 0; i < ${#args[@]}; i++)); do
    [ "${args[i]}" != "$2" ] || { echo "swept ($2 ${args[i + 1]:-})" && return; }
  done
  keyValue "$1" | grep . || echo '0 (not set)'
}
sweeping=""
[[ " ${args[*]-} " != *" --sweep-artist "* && " ${args[*]-} " != *" --sweep-title "* ]] || sweeping=", from plugin.ini"
echo "settings: $B/try/plugin.ini ($(awk 'NR > 1 { printf "; " } { printf "%s", $0 }' "$origin");" \
  "limits: artist $(limitText SameArtistCheckLimit --sweep-artist | sed "/^swept/!s/\$/$sweeping/")," \
  "title $(limitText SameTitleCheckLimit --sweep-title | sed "/^swept/!s/\$/$sweeping/"))"

# The logo beside the page, as the demo has it, when the page is written in this folder; a page the
# settings send elsewhere (an operator's own web folder) is left alone. Wine names the file the
# plug-in will write, relative paths taken from here, where the player runs.
page=$(keyValue OutputFilename)
page=${page:-c:/status.htm} # the plug-in's own default
pageFolder=$(dirname "$(winepath -u "$page" 2>/dev/null || echo /)")
if [[ "$(realpath -m "$pageFolder")/" != "$folder"/* ]]; then
  echo "logo: not copied: the page goes to $page, outside $B/try; put sc-logo.jpg beside it yourself"
elif [ ! -d "$pageFolder" ]; then
  echo "logo: not copied: the page's folder $pageFolder does not exist"
else
  cp "$root/examples/sc-logo.jpg" "$pageFolder/"
  echo "logo: sc-logo.jpg beside the page in $(realpath --relative-to="$root" "$pageFolder")"
fi

run=(env SONGBEACON_TYPED_COMMAND="$typed" wine "$host" gen_SBeacon.dll "$playlist" "${args[@]}")
status=0
# Wine needs a display for the player's window (and for the dialog with --configure). Under
# xvfb-run, Wine is let finish before the X server goes, as in the demo; otherwise its last process
# reports the lost connection.
if [ -n "${DISPLAY:-}" ]; then "${run[@]}" || status=$?; else
  xvfb-run -a -s '-screen 0 1024x768x24' sh -c '"$@"; status=$?; wineserver -w; exit $status' sh "${run[@]}" ||
    status=$?
fi
exit $status
