#!/usr/bin/env bash
# Playlists in every encoding a station's tools save, through the real host and plug-in: UTF-16
# (Notepad's "Unicode", either byte order) and UTF-8 (with a mark, or named .m3u8) reach the plug-in
# as titles in the ANSI code page, the run says how it read the file, and its output, redirected,
# shows those titles in UTF-8; UTF-16 saved without its
# mark and an empty file are refused with status 1 before anything plays. Lines may end in a CR
# alone, as old Mac tools save them.
#   check_playlist_encodings.sh <songbeacon-host.exe> <gen_SBeacon.dll> <folder>
set -uo pipefail
host=$1 dll=$2 folder=$3
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1
cp "$dll" gen_SBeacon.dll
export WINEDEBUG=-all LC_ALL=C # Wine's ANSI code page is then 1252
fail=0
# Wine's helper processes start with the first program and inherit its output; started here, they
# hold /dev/null rather than a pipe that the runs below wait to see closed.
wine "$host" --help >/dev/null 2>&1 </dev/null
printf '[Songbeacon]\r\nEnableHTMLOutput=1\r\nOutputFilename=status.htm\r\nEnablePlaylistMonitoring=1\r\n'\
'SameArtistCheckLimit=0\r\nSameTitleCheckLimit=0\r\n' >plugin.ini

# The playlist in UTF-8, as this file is written. The plug-in reads its titles in code page 1252
# (the en dash is 0x96 there; the four CJK characters have no place and become "?"), and the
# player's output, redirected, is UTF-8 again: the letters the code page holds come out as they were.
list=$'#EXTM3U\r\n#EXTINF:262,Björk – Jóga\r\nC:\\m\\1.mp3\r\n#EXTINF:301,Sigur Rós - Hoppípolla\r\n'\
$'C:\\m\\2.mp3\r\n#EXTINF:180,坂本龍一 - Merry Christmas Mr. Lawrence\r\n3.mp3\r\n'
played=("    1  played   Björk – Jóga" "    2  played   Sigur Rós - Hoppípolla"
        "    3  played   ???? - Merry Christmas Mr. Lawrence")
{ printf '\xff\xfe'; printf '%s' "$list" | iconv -f UTF-8 -t UTF-16LE; } >utf16le.m3u
{ printf '\xfe\xff'; printf '%s' "$list" | iconv -f UTF-8 -t UTF-16BE; } >utf16be.m3u
{ printf '\xef\xbb\xbf'; printf '%s' "$list"; } >utf8mark.m3u
printf '%s' "$list" >plain.m3u8
{ printf '\xff\xfe'; printf '%s' "${list//$'\r\n'/$'\r'}" | iconv -f UTF-8 -t UTF-16LE; } >utf16le-cr.m3u
printf 'Abba - SOS\rBlur - Song 2\r' >mac.txt
printf '%s' "$list" | iconv -f UTF-8 -t UTF-16LE >nomark.m3u
: >empty.m3u

run() { # expected exit status, host arguments...
  local expected=$1
  shift
  output=$(wine "$host" gen_SBeacon.dll "$@" </dev/null 2>&1 | tr -d '\r')
  local status=${PIPESTATUS[0]}
  echo "== $*: exit $status"; echo "$output" | head -n 12
  [ "$status" -eq "$expected" ] || { echo "FAIL: exited $status, expected $expected"; fail=1; }
}
expect() { grep -qxF -- "$1" <<<"$output" || { echo "FAIL: did not say: $1"; fail=1; }; }

for file in utf16le.m3u utf16be.m3u utf8mark.m3u plain.m3u8 utf16le-cr.m3u; do
  rm -f status.htm
  run 0 "$file" --fast
  case $file in
  utf16le*.m3u) encoding="UTF-16 LE" ;;
  utf16be.m3u) encoding="UTF-16 BE" ;;
  utf8mark.m3u) encoding="UTF-8 (with a byte-order mark)" ;;
  plain.m3u8) encoding="UTF-8 (a .m3u8 file)" ;;
  esac
  expect "playlist: $file, 3 entries, $encoding converted to the ANSI code page 1252; fast"
  expect "note: 4 characters of the playlist have no place in the ANSI code page 1252: the player hands them to the plug-in as ?"
  for line in "${played[@]}"; do expect "$line"; done
  expect "summary: 3 played, 0 skipped"
  grep -qF "Sigur R"$'\xf3'"s - Hopp"$'\xed'"polla" status.htm || { echo "FAIL: $file: the page lacks a title"; fail=1; }
done

run 0 mac.txt --fast
expect "    2  played   Blur - Song 2"
expect "summary: 2 played, 0 skipped"

run 1 nomark.m3u --fast
expect "error: the playlist nomark.m3u looks like UTF-16 LE saved without its byte-order mark (every other byte is 0): save it as UTF-8, or as UTF-16 with its mark (Notepad's \"Unicode\")"
grep -q ' played ' <<<"$output" && { echo "FAIL: a playlist without titles played"; fail=1; }
run 1 empty.m3u --fast
expect "error: the playlist empty.m3u is empty (0 bytes)"
exit $fail
