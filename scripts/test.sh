#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test of both builds:
#   build/native  host g++ with AddressSanitizer and UBSan;
#   build/win32   MinGW-w64 i686, the tests run through Wine under Xvfb.
# Exits non-zero when either build fails or any test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
JOBS=$(nproc)
status=0

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DSONGBEACON_SANITIZE=ON >/dev/null &&
  cmake --build build/native -j"$JOBS" &&
  ctest --test-dir build/native --output-on-failure -j"$JOBS" | tee build/native-ctest.log || status=1

source scripts/wine-prefix.sh
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Windows tests find their windows by caption, so they run one at a time.
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build build/win32 -j"$JOBS" &&
  xvfb-run -a -s '-screen 0 1024x768x24' ctest --test-dir build/win32 --output-on-failure |
  tee build/win32-ctest.log || status=1

echo "== native:  $(grep -E 'tests passed|tests failed' build/native-ctest.log 2>/dev/null || echo 'not run')"
echo "== windows: $(grep -E 'tests passed|tests failed' build/win32-ctest.log 2>/dev/null || echo 'not run')"
exit $status
