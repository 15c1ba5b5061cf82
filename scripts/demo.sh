#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the simulated host (32-bit Windows, through
# MinGW-w64), and plays the example playlist at the plug-in under Wine. Prints where the status
# page is. Extra arguments go to the host, e.g. --pace 1000 or --configure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-prefix.sh
B=${SONGBEACON_BUILD_DIR:-build}
cmake -S . -B "$B/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$B/win32" -j"$(nproc)" --target gen_SBeacon songbeacon-host >/dev/null
demo="$PWD/$B/demo"
run=(scripts/run-example.sh "$PWD/$B/win32/simhost/songbeacon-host.exe" "$PWD/$B/win32/src/gen_SBeacon.dll" "$demo"
     --pace 300 "$@")
# Wine needs a display for the host's window (and for the dialog with --configure).
if [ -n "${DISPLAY:-}" ]; then "${run[@]}"; else xvfb-run -a -s '-screen 0 1024x768x24' "${run[@]}"; fi
wineserver -w
echo
echo "The status page is $demo/status.htm (settings: $demo/plugin.ini)."
echo "The plug-in DLL is $PWD/$B/win32/src/gen_SBeacon.dll."
