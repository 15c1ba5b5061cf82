#!/usr/bin/env bash
# The setup program, run under Wine as a station would run it, each case on a fresh Wine prefix
# whose C:\Player holds a stand-in player program (the simulated host, as winamp.exe):
#   install    a silent install into the folder the player's registry entry names: the installed
#              DLL is the built one and the uninstall registration carries the right values;
#   play       after a silent install into /D=C:\Player, the player loads the plug-in from its
#              Plugins folder and plays a short playlist; plugin.ini and the page are written;
#   upgrade    installing over an earlier install replaces the DLL and keeps a hand-edited
#              plugin.ini byte for byte;
#   in-use     while another process has the DLL loaded, a silent install fails (non-zero) and
#              leaves the old DLL intact; once it lets go, the install goes through;
#   uninstall  a silent uninstall removes the DLL, its folder's files, the uninstaller and the
#              registration, and keeps plugin.ini and a status page kept in that folder.
#
#   check_installer.sh <case> <setup.exe> <gen_SBeacon.dll> <songbeacon-host.exe> <hold_dll.exe>
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
scripts="$here/../../scripts"
wine_run="$here/../../cmake/wine-run.sh"
case_name=$1 setup=$2 built_dll=$3 host=$4 holder=$5

root=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-installer-XXXXXX")
export WINEPREFIX="$root/p"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true # this prefix's server only
  rm -rf "$root"
}
trap cleanup EXIT
source "$scripts/wine-prefix.sh"

drive_c="$WINEPREFIX/drive_c"
plugins="$drive_c/Player/Plugins"
dll="$plugins/gen_SBeacon.dll"
uninstaller="$plugins/Songbeacon/uninstall.exe"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Songbeacon'
mkdir -p "$drive_c/Player"
cp "$host" "$drive_c/Player/winamp.exe"

fail=0
check() { # <description> <command...>: runs the command, reports a failure
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && fail=1; fi
}
install() { # [setup options...]: a silent install; returns the setup program's exit status
  "$wine_run" "$setup" /S "$@"
}
registry_value() { # <name>: one value of the uninstall registration, or nothing
  wine reg query "$key" /v "$1" 2>/dev/null </dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print }'
}
unregistered() { ! wine reg query "$key" >/dev/null 2>&1 </dev/null; }
no_leftovers() { [ ! -e "$dll.new" ] && [ ! -e "$dll.old" ]; }
# Stands in for an earlier version: the built DLL with bytes after its end (still loadable).
make_older() { cat "$built_dll" >"$dll" && printf 'earlier version' >>"$dll"; }

case $case_name in
install)
  # Where the player's own installer records its folder; no /D=, so Setup must find it there.
  wine reg add 'HKCU\Software\Winamp' /ve /d 'C:\Player' /f >/dev/null 2>&1 </dev/null
  check "silent install exits 0" install
  check "installed DLL is the built one" cmp "$built_dll" "$dll"
  check "no .new or .old DLL left" no_leftovers
  check "read-me and logo installed" test -s "$plugins/Songbeacon/readme.txt" -a -s "$plugins/Songbeacon/sc-logo.jpg"
  version=$(registry_value DisplayVersion)
  check "DisplayVersion is 0.24b (got '$version')" test "$version" = 0.24b
  name=$(registry_value DisplayName)
  check "DisplayName names Songbeacon 0.24b (got '$name')" grep -q '^Songbeacon 0\.24b' <<<"$name"
  publisher=$(registry_value Publisher)
  check "Publisher (got '$publisher')" test "$publisher" = "the Songbeacon authors"
  location=$(registry_value InstallLocation)
  check "InstallLocation is C:\\Player (got '$location')" test "$location" = 'C:\Player'
  uninstall_string=$(registry_value UninstallString)
  check "UninstallString names the uninstaller (got '$uninstall_string')" \
    test "$uninstall_string" = '"C:\Player\Plugins\Songbeacon\uninstall.exe"'
  check "the uninstaller exists" test -s "$uninstaller"
  size=$(registry_value EstimatedSize)
  size_kb=$(( $(cat "$dll" "$plugins/Songbeacon"/* | wc -c) / 1024 ))
  check "EstimatedSize $size is about the installed files' $size_kb KB" \
    test $(( size )) -ge "$size_kb" -a $(( size )) -le $(( size_kb + 4 ))
  ;;
play)
  check "silent install into /D=C:\\Player exits 0" install '/D=C:\Player'
  printf '#EXTM3U\r\n#EXTINF:200,First Artist - Opening\r\nfirst.mp3\r\n#EXTINF:200,Second Artist - Middle & More\r\nsecond.mp3\r\n#EXTINF:200,Third Artist - Closing\r\nthird.mp3\r\n' \
    >"$drive_c/Player/short.m3u"
  # The player runs from its own folder and loads the plug-in from where Setup put it; with no
  # plugin.ini yet, the plug-in starts with its defaults and writes the page to c:/status.htm.
  output=$(cd "$drive_c/Player" && "$wine_run" winamp.exe 'C:\Player\Plugins\gen_SBeacon.dll' short.m3u --pace 50 2>&1 | tr -d '\r')
  status=$?
  echo "$output"
  check "the player exits 0" test $status -eq 0
  for line in "plug-in: Songbeacon Plug-In 0.24b (gen_SBeacon.dll)" "summary: 3 played, 0 skipped"; do
    check "player reports '$line'" grep -qF -- "$line" <<<"$output"
  done
  check "plugin.ini written beside the installed DLL" grep -q '^\[Songbeacon\]' "$plugins/plugin.ini"
  page=$(tr -d '\r' <"$drive_c/status.htm" 2>/dev/null)
  for text in "The server is currently off-line." "Last 2 tracks played:" ">Second Artist - Middle &amp; More<" \
    ">First Artist - Opening<"; do
    check "page holds '$text'" grep -qF -- "$text" <<<"$page"
  done
  ;;
upgrade)
  check "first install exits 0" install '/D=C:\Player'
  make_older
  # Hand-edited: comments, blanks, another section, a key of our section with its own spelling,
  # no line end at the end. Setup must leave every byte.
  printf '; my settings\r\n[Songbeacon]\r\nsameartistchecklimit = 7 \r\nHTMLTitle=Radio \xe9t\xe9\r\n\r\n[Other Plug-in]\r\nx=1' \
    >"$plugins/plugin.ini"
  cp "$plugins/plugin.ini" "$root/plugin.ini.before"
  check "upgrade exits 0" install '/D=C:\Player'
  check "upgrade puts the built DLL in place" cmp "$built_dll" "$dll"
  check "plugin.ini is byte for byte as it was" cmp "$root/plugin.ini.before" "$plugins/plugin.ini"
  check "no .new or .old DLL left" no_leftovers
  ;;
in-use)
  check "first install exits 0" install '/D=C:\Player'
  make_older
  cp "$dll" "$root/old.dll"
  "$wine_run" "$holder" 'C:\Player\Plugins\gen_SBeacon.dll' 'C:\held' 'C:\release' >"$root/holder.log" 2>&1 &
  holder_pid=$!
  for ((tries = 0; tries < 1200; tries++)); do
    [ -e "$drive_c/held" ] && break
    sleep 0.1
  done
  check "the holder has loaded the DLL" test -e "$drive_c/held"
  install '/D=C:\Player'
  status=$?
  check "install while the DLL is loaded exits non-zero (got $status)" test $status -ne 0
  check "the old DLL is intact" cmp "$root/old.dll" "$dll"
  check "no .new or .old DLL left" no_leftovers
  touch "$drive_c/release"
  wait $holder_pid
  check "the holder let go cleanly" test $? -eq 0
  check "once the DLL is free, the install goes through" install '/D=C:\Player'
  check "and puts the built DLL in place" cmp "$built_dll" "$dll"
  ;;
uninstall)
  check "install exits 0" install '/D=C:\Player'
  printf '[Songbeacon]\r\nOutputFilename=C:\\Player\\Plugins\\Songbeacon\\status.htm\r\n' >"$plugins/plugin.ini"
  printf '<HTML>the page, beside the logo</HTML>\r\n' >"$plugins/Songbeacon/status.htm"
  cp "$plugins/plugin.ini" "$root/plugin.ini.before"
  cp "$plugins/Songbeacon/status.htm" "$root/status.htm.before"
  check "silent uninstall exits 0" "$wine_run" 'C:\Player\Plugins\Songbeacon\uninstall.exe' /S
  # The uninstaller runs on from a copy of itself in the temporary folder; wait for it.
  wineserver -w
  check "the DLL is gone" test ! -e "$dll"
  check "the uninstaller is gone" test ! -e "$uninstaller"
  check "the read-me and logo are gone" test ! -e "$plugins/Songbeacon/readme.txt" -a ! -e "$plugins/Songbeacon/sc-logo.jpg"
  check "the registration is gone" unregistered
  check "plugin.ini is kept byte for byte" cmp "$root/plugin.ini.before" "$plugins/plugin.ini"
  check "the status page is kept" cmp "$root/status.htm.before" "$plugins/Songbeacon/status.htm"
  check "the stand-in player is untouched" cmp "$host" "$drive_c/Player/winamp.exe"
  ;;
*)
  echo "unknown case: $case_name" >&2
  exit 2
  ;;
esac
exit $fail
