#!/usr/bin/env bash
# Sourced by the scripts that run the plug-in in the simulated player: installs what is missing,
# sets up the Wine prefix, and builds gen_SBeacon.dll and songbeacon-host.exe (Release) in
# $B/win32, where B is SONGBEACON_BUILD_DIR (default build). Run from the repository's root.
scripts/setup.sh
source scripts/wine-prefix.sh
B=${SONGBEACON_BUILD_DIR:-build}
# (A folder configured before ignores the toolchain file given again: no need to warn of it.)
cmake --no-warn-unused-cli -S . -B "$B/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$B/win32" -j"$(nproc)" --target gen_SBeacon songbeacon-host >/dev/null
host="$PWD/$B/win32/simhost/songbeacon-host.exe"
