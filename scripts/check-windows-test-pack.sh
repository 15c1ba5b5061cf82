#!/usr/bin/env bash
# Proves here what the Windows job runs there: the test pack, the install / tuning / uninstall
# script and the PollInterval benchmark, each from the pack and the release alone, under Wine.
#   - Writes the pack (scripts/windows-test-pack.sh, into $B/windows-test-pack-dist) and unzips it
#     into a folder whose name has spaces, inside a fresh Wine prefix whose Z: drive (the whole
#     Linux file system, the build and the source tree with it) is taken away: nothing outside the
#     pack can be reached.
#   - Runs the pack there under Xvfb as the Windows job does (scripts/windows/run-test-pack.cmd,
#     which runs run-tests.cmd and checks that its counts add up to the cases it lists), and checks
#     that its closing counts are ctest's for the same cases in CTEST_LOG (the log of the win32
#     build's ctest run; default $B/win32-ctest.log, as scripts/test.sh writes it); that its
#     self-check counted each of its three crashes as failed, apart from the cases; and that
#     run-test-pack.cmd fails a pack whose counts do not add up.
#   - Crashes stop at no dialog here: winedbg's is switched off in the prefix, as a Windows runner
#     shows none.
#   - Runs scripts/windows/install-run-uninstall.cmd on the setup program the win32 build made and
#     the example playlist, and scripts/windows/poll-interval-curve.cmd on the pack's benchmark (a
#     short curve: here it proves the script, not the figures).
# usage: scripts/check-windows-test-pack.sh [CTEST_LOG]
set -uo pipefail
cd "$(dirname "$0")/.."
B=${SONGBEACON_BUILD_DIR:-build}
log=${1:-$B/win32-ctest.log}
root=$PWD
status=0
check() { # what, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && status=1; fi
}
[ -f "$log" ] || { echo "check-windows-test-pack: no ctest log $log (run the win32 ctest first)" >&2 && exit 1; }

dist=$root/$B/windows-test-pack-dist
SONGBEACON_DIST_DIR=$dist scripts/windows-test-pack.sh || exit 1
stage=$root/$B/win32/windows-test-pack

export WINEPREFIX=$root/$B/pack-wineprefix
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
source scripts/wine-prefix.sh
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
rm "$WINEPREFIX/dosdevices/z:"
# A test program that crashes would otherwise start winedbg, whose dialog waits for a click.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
here="$WINEPREFIX/drive_c/Songbeacon test pack"
mkdir -p "$here" "$WINEPREFIX/drive_c/release"
unzip -q "$dist"/*-windows-tests.zip -d "$here"
cp "$B/win32/installer/"*-setup.exe "$WINEPREFIX/drive_c/release/"
cp examples/rotation.m3u "$WINEPREFIX/drive_c/release/"
cp scripts/windows/*.cmd "$WINEPREFIX/drive_c/release/"
wineserver -p >/dev/null 2>&1
printf '@if exist Z:\\ exit 1\r\n@if not exist C:\\windows exit 2\r\n' >"$WINEPREFIX/drive_c/release/probe.cmd"
check "the prefix has no Z: drive: nothing outside it can be reached" \
  eval '(cd "$WINEPREFIX/drive_c/release" && "$root/cmake/wine-run.sh" cmd /c probe.cmd)'

# The pack, as the Windows job runs it; a run that hangs (a dialog nobody answers) fails instead
# of holding the check.
printf '@call run-test-pack.cmd "C:\\Songbeacon test pack"\r\n' >"$WINEPREFIX/drive_c/release/pack.cmd"
start=$(date +%s)
(cd "$WINEPREFIX/drive_c/release" &&
  timeout 1800 xvfb-run -a -s '-screen 0 1024x768x24' "$root/cmake/wine-run.sh" cmd /c pack.cmd) 2>&1 |
  tr -d '\r' | grep -v '^X connection to' >"$B/pack-run.log"
pack_status=${PIPESTATUS[0]}
echo "the pack's run took $(($(date +%s) - start)) s; its output: $B/pack-run.log"
grep -v '] .* passed$' "$B/pack-run.log" | tail -n 20
counts=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$B/pack-run.log" | tail -n 1)
# ctest's verdict on the same cases, by ctest's own test numbers.
ctest_counts=$(awk 'NR == FNR { packed[$1] = 1; next }
  match($0, /Test +#[0-9]+: /) {
    number = substr($0, RSTART, RLENGTH); gsub(/[^0-9]/, "", number)
    if (!(number in packed)) next
    seen++
    if ($0 ~ /\*\*\*Skipped/) skipped++; else if ($0 ~ / Passed +[0-9.]+ sec/) passed++; else failed++
  }
  END {
    line = sprintf("%d passed, %d failed", passed, failed)
    if (skipped) line = line sprintf(", %d skipped", skipped)
    print line "/" seen
  }' "$stage/ctest-numbers.txt" "$log")
packed=$(wc -l <"$stage/ctest-numbers.txt")
check "the Z: drive is still gone after the run" test ! -e "$WINEPREFIX/dosdevices/z:"
check "ctest ran all $packed packed cases (${ctest_counts#*/} found in $log)" test "${ctest_counts#*/}" = "$packed"
check "run-tests.cmd counts as ctest does: '$counts' against ctest's '${ctest_counts%/*}'" \
  test "$counts" = "${ctest_counts%/*}"
failed=$(sed -n 's/^[0-9]* passed, \([0-9]*\) failed.*/\1/p' <<<"$counts")
check "run-tests.cmd's status ($pack_status) says whether any case failed" \
  test "$((pack_status != 0))" = "$((${failed:-1} != 0))"
check "and run-test-pack.cmd found that the counts add up to the cases in cases.txt" \
  grep -q "^the counts add up: .* = $packed cases listed in cases.txt$" "$B/pack-run.log"
# The self-check: each crash judged failed by the lines that judge the cases, and counted apart.
for crash in "null .*status -1073741819" "stack .*status -1073741571" "buffer-overrun .*status -1073740791"; do
  check "the self-check's crash '${crash%% *}' counts as failed" \
    grep -q "^self-check: pack_crash.exe ${crash}: counted as failed$" "$B/pack-run.log"
done
check "the self-check counts its three crashes apart from the cases" \
  grep -q '^self-check: 3 of 3 crashes counted as failed$' "$B/pack-run.log"

# run-test-pack.cmd on a pack whose counts do not add up: one case run of the two it lists.
short="$WINEPREFIX/drive_c/short pack"
mkdir -p "$short"
printf '@echo 1 passed, 0 failed\r\n' >"$short/run-tests.cmd"
printf '1 a.exe\r\n2 b.exe\r\n' >"$short/cases.txt"
printf '@call run-test-pack.cmd "C:\\short pack"\r\n' >"$WINEPREFIX/drive_c/release/short.cmd"
output=$(cd "$WINEPREFIX/drive_c/release" && "$root/cmake/wine-run.sh" cmd /c short.cmd 2>&1 | tr -d '\r')
short_status=$?
# (Wine's cmd passes on a called batch file's status but 0 as 1, so the status is only told non-zero.)
check "run-test-pack.cmd fails a pack that ran one case of the two it lists (status $short_status: $(tail -n 1 <<<"$output"))" \
  eval '[ "$short_status" != 0 ] && grep -q "^FAILED: 1 passed + 0 failed + 0 skipped = 1 cases, but cases.txt lists 2$" <<<"$output"'

# The install, tuning and uninstall script on the setup program, into a folder with spaces.
# Each command line goes into a batch file of its own: Wine would quote again a line passed to it
# that holds quotes.
printf '@call install-run-uninstall.cmd C:\\release "C:\\Program Files\\Radio Player" C:\\release\\rotation.m3u\r\n' \
  >"$WINEPREFIX/drive_c/release/install.cmd"
printf '@call poll-interval-curve.cmd "C:\\Songbeacon test pack\\bench\\monitor_bench.exe" %s\r\n' \
  '--windows 1 --window-ms 300 --changes 10' >"$WINEPREFIX/drive_c/release/curve.cmd"
# Each runs under a display of its own (the tuning tool and the benchmark make windows), with a
# Wine server of its own: the server and its desktop go with the display the last program ran under.
wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1
(cd "$WINEPREFIX/drive_c/release" && xvfb-run -a -s '-screen 0 1024x768x24' "$root/cmake/wine-run.sh" cmd /c install.cmd) 2>&1 |
  tr -d '\r' | grep -v '^X connection to' >"$B/pack-install.log"
install_status=${PIPESTATUS[0]}
cat "$B/pack-install.log"
check "install-run-uninstall.cmd passes (status $install_status)" test "$install_status" = 0

wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1
# The benchmark script on the pack's benchmark, a short curve, its summary written as in a job.
summary="$WINEPREFIX/drive_c/release/summary.md"
(cd "$WINEPREFIX/drive_c/release" && GITHUB_STEP_SUMMARY='C:\release\summary.md' WINEDEBUG=-all \
  xvfb-run -a -s '-screen 0 1024x768x24' "$root/cmake/wine-run.sh" cmd /c curve.cmd) 2>&1 |
  tr -d '\r' | grep -v '^X connection to' >"$B/pack-curve.log"
curve_status=${PIPESTATUS[0]}
cat "$B/pack-curve.log"
check "poll-interval-curve.cmd runs the benchmark (status $curve_status)" test "$curve_status" = 0
check "and writes the curve and the rest clock into the summary, without the figure lines" \
  eval 'grep -q "^rest clock: high-resolution timer" "$summary" && grep -q "^50 ms |" "$summary" && ! grep -q "^figure " "$summary"'

wineserver -k >/dev/null 2>&1 || true
[ -n "${SONGBEACON_KEEP_PACK_PREFIX:-}" ] || rm -rf "$WINEPREFIX"
echo "== pack: ${counts:-no counts}; $( ((status == 0)) && echo "every check passed" || echo "a check FAILED")"
exit $status
