#!/usr/bin/env bash
# The simulated host plays the example playlist through the real plug-in: the repeats the example
# settings forbid are skipped, the rest played, and the status page ends off-line.
#   check_example_run.sh <songbeacon-host.exe> <gen_SBeacon.dll> <folder>
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
folder=$3
output=$("$here/../../scripts/run-example.sh" "$1" "$2" "$folder" --pace 50 2>&1 | tr -d '\r')
status=$?
echo "$output"
fail=0
expect() { grep -qF -- "$1" <<<"$output" || { echo "MISSING: $1"; fail=1; }; }
[ $status -eq 0 ] || { echo "exit status $status"; fail=1; }
expect "plug-in: Songbeacon Plug-In 0.24b (gen_SBeacon.dll)"
expect "    1  played   Abba - Dancing Queen"
expect "    3  skipped  ABBA - Waterloo"
expect "    5  played   The Who - My Generation"
expect "    7  skipped  The Beatles - Let It Be"
expect "    8  played   Massive Attack - Teardrop"
expect "   10  skipped  Queen - Bohemian Rhapsody"
expect "   11  skipped  Abba - Dancing Queen"
expect "   13  played   Simon & Garfunkel - Mrs. Robinson <Live>"
expect "summary: 9 played, 4 skipped"
expect "shutDown returned after"

page=$(tr -d '\r' <"$folder/status.htm")
for text in "The server is currently off-line." "Last 8 tracks played:" ">Radiohead - Karma Police<" \
            ">Massive Attack - Teardrop<" "<TITLE>Example Radio - now playing</TITLE>"; do
  grep -qF -- "$text" <<<"$page" || { echo "PAGE MISSING: $text"; fail=1; }
done
exit $fail
