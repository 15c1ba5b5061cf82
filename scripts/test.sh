#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test of both builds:
#   build/native    host g++ with AddressSanitizer and UBSan;
#   build/win32     MinGW-w64 i686, the tests run through Wine under Xvfb (the setup program's
#                   cases each on a fresh Wine prefix of their own);
# then the Windows test pack and the Windows job's scripts under Wine (scripts/check-windows-test-pack.sh),
# and then the native tests again under valgrind memcheck (build/memcheck) and each libFuzzer
# target for SONGBEACON_FUZZ_SECONDS (default 30) seconds (build/fuzz).
# Exits non-zero when any build fails, any test fails, valgrind finds an error or a fuzz target fails. SONGBEACON_BUILD_DIR names another
# folder than build/ (its own Wine prefix included), so that two trees can be tested at once.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
JOBS=$(nproc)
status=0
B=${SONGBEACON_BUILD_DIR:-build}
mkdir -p "$B"
rm -f "$B/native-ctest.log" "$B/win32-ctest.log" "$B/pack.log" "$B/memcheck.log" "$B/fuzz.log"
export WINEPREFIX="$PWD/$B/wineprefix"

cmake -S . -B $B/native -DCMAKE_BUILD_TYPE=Debug -DSONGBEACON_SANITIZE=ON >/dev/null &&
  cmake --build $B/native -j"$JOBS" &&
  ctest --test-dir $B/native --output-on-failure -j"$JOBS" | tee $B/native-ctest.log || status=1

source scripts/wine-prefix.sh
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# One Wine server for the whole run: left to itself it exits a few seconds after the last
# program, and a test starting at that moment fails with "Connection reset by peer".
wineserver -p >/dev/null 2>&1
# Windows tests find their windows by caption, so they run one at a time.
cmake -S . -B $B/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build $B/win32 -j"$JOBS" &&
  xvfb-run -a -s '-screen 0 1024x768x24' ctest --test-dir $B/win32 --output-on-failure |
  tee $B/win32-ctest.log || status=1

wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true # gone, before the next script starts one of its own
# The Windows test pack from the pack alone, in a fresh Wine prefix, against the counts above; and
# the scripts the Windows job runs (scripts/windows/).
scripts/check-windows-test-pack.sh "$B/win32-ctest.log" | tee "$B/pack.log" || status=1
scripts/memcheck.sh | tee "$B/memcheck.log" || status=1
scripts/fuzz.sh | tee "$B/fuzz.log" || status=1

echo "== native:  $(grep -E 'tests passed|tests failed' $B/native-ctest.log 2>/dev/null || echo 'not run')"
echo "== windows: $(grep -E 'tests passed|tests failed' $B/win32-ctest.log 2>/dev/null || echo 'not run')"
echo "== pack:    $(grep -E '^== pack: ' "$B/pack.log" 2>/dev/null | sed 's/^== pack: //' || echo 'not run')"
echo "== memcheck: $(grep -E '^== memcheck:' "$B/memcheck.log" 2>/dev/null | sed 's/^== memcheck: //' || echo 'not run')"
echo "== fuzz:    $(grep -E '^== fuzz: ' "$B/fuzz.log" 2>/dev/null | sed 's/^== fuzz: //' || echo 'not run')"
exit $status
