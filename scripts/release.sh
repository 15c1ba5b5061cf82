#!/usr/bin/env bash
# The release command. On a fresh Debian 12 machine, as root: installs what is missing, builds the
# Windows build in Release in a clean folder ($B/release) and writes into dist/
#   songbeacon-<version>-setup.exe   the setup program;
#   songbeacon-<version>-win32.zip   the DLL, the operator's read-me, an example plugin.ini, the
#                                    placeholder logo and the licence, for a manual install;
#   SHA256SUMS                       the checksums of both.
# Files of other versions already in dist/ are left alone. The same commit gives the same bytes
# wherever it is built (scripts/check-reproducible.sh shows it). SONGBEACON_BUILD_DIR names another
# folder than build/, as for scripts/test.sh, and SONGBEACON_DIST_DIR another than dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
B=${SONGBEACON_BUILD_DIR:-build}
DIST=${SONGBEACON_DIST_DIR:-dist}
BUILD="$B/release"

rm -rf "$BUILD"
mkdir -p "$B" "$DIST"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DSONGBEACON_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target songbeacon_setup songbeacon_zip >/dev/null

# The build folder is new, so each pattern matches the one file this version makes.
setup=$(echo "$BUILD"/installer/*-setup.exe)
zip=$(echo "$BUILD"/installer/*-win32.zip)
cp "$setup" "$zip" "$DIST/"
(cd "$DIST" && sha256sum "$(basename "$setup")" "$(basename "$zip")" >SHA256SUMS)

for file in "$(basename "$setup")" "$(basename "$zip")" SHA256SUMS; do
  printf '%-36s %7d bytes\n' "$DIST/$file" "$(stat -c %s "$DIST/$file")"
done
cat "$DIST/SHA256SUMS"
