#!/usr/bin/env bash
# The simulated host notices a plug-in that misbehaves: one that refuses to start, one that has
# every entry skipped, one whose shut-down never returns, one that never polls the player (which
# the fast mode gives up on, after its deadline, instead of hanging); and a skip that arrives
# while the player is stopped on purpose (--stop) moves the run on instead of ending it.
#   check_misbehaving.sh <songbeacon-host.exe> <gen_misbehaving.dll> <folder>
set -uo pipefail
host=$1 dll=$2 folder=$3
mkdir -p "$folder" && cd "$folder" || exit 1
printf 'Abba - SOS\r\nQueen - Innuendo\r\nRadiohead - Creep\r\n' >titles.txt
export WINEDEBUG=-all
fail=0
run() { # mode, expected exit status, expected text, host options...
  local mode=$1 expected=$2 text=$3 output status
  shift 3
  output=$(SB_MISBEHAVE=$mode wine "$host" "$dll" titles.txt "$@" </dev/null 2>&1 | tr -d '\r')
  status=${PIPESTATUS[0]}
  echo "== $mode: exit $status"; echo "$output"
  [ "$status" -eq "$expected" ] || { echo "FAIL: $mode exited $status, expected $expected"; fail=1; }
  grep -qF -- "$text" <<<"$output" || { echo "FAIL: $mode did not say: $text"; fail=1; }
}
run refuse-start 3 "the plug-in refused to start"
run skip-everything 0 "The plug-in refused every entry of the playlist in a row" --pace 2000 --repeat
run hang-shutdown 5 "shutDown did not return" --pace 50
run skip-when-stopped 0 "summary: 1 played, 1 skipped" --pace 500 --stop 1 --tracks 1
run idle 4 "error: --fast: the plug-in has not dealt with entry 1 within 2 s" --fast --fast-timeout 2
exit $fail
