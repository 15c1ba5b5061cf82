#!/usr/bin/env bash
# The release zip holds exactly the files of a manual install: the DLL and the tool that chooses
# its limits as built, the operator's read-me and the example settings (CR LF line ends, as Windows editors expect), the placeholder
# logo and the licence. The read-me keeps to 80 columns.
#   check_zip.sh <songbeacon-...-win32.zip> <gen_SBeacon.dll> <examples folder> <songbeacon-tune.exe>
set -uo pipefail
zip=$1 dll=$2 examples=$3 tune=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # <description> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && fail=1; fi
}
crlf_only() { # <file>: every line, the last included, ends in CR LF
  [ -s "$1" ] && [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ] && ! grep -q $'[^\r]$\|^$' "$1"
}

names=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
check "entries are exactly the six release files (got: $names)" \
  test "$names" = "LICENSE.txt gen_SBeacon.dll plugin-example.ini readme.txt sc-logo.jpg songbeacon-tune.exe "
unzip -q "$zip" -d "$work"
check "the DLL is the built one" cmp "$dll" "$work/gen_SBeacon.dll"
check "the tool is the built one" cmp "$tune" "$work/songbeacon-tune.exe"
check "the logo is the placeholder" cmp "$examples/sc-logo.jpg" "$work/sc-logo.jpg"
for text in readme.txt plugin-example.ini LICENSE.txt; do
  check "$text has CR LF line ends" crlf_only "$work/$text"
done
check "LICENSE.txt is the MIT licence of the Songbeacon authors" \
  grep -q 'Copyright (c) .*the Songbeacon authors' "$work/LICENSE.txt"
check "the read-me names the version" grep -q '^Songbeacon 0\.24b' "$work/readme.txt"
# An 80-column text, as Notepad and a console show it without wrapping mid-word.
long=$(tr -d '\r' <"$work/readme.txt" | LC_ALL=C.UTF-8 awk 'length > 80 { print NR ": " length " characters" }')
check "every line of the read-me fits in 80 columns${long:+ (not: $(tr '\n' ';' <<<"$long"))}" test -z "$long"
for key in EnableHTMLOutput OutputFilename HTMLTitle HTMLHeader RecentTitleListLength EnablePlaylistMonitoring \
  SameArtistCheckLimit SameTitleCheckLimit; do
  check "the read-me and the example cover $key" \
    eval "grep -q '^  $key ' '$work/readme.txt' && grep -q '^$key=' '$work/plugin-example.ini'"
done
exit $fail
