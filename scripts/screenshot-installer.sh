#!/usr/bin/env bash
# Remakes docs/installer.png: runs the setup program under Xvfb and Wine in a prefix of its own
# (no player installed, so the folder page offers the default C:\Program Files\Winamp), steps it
# to the page that asks for the player's folder, captures that as a BMP and converts it with
# ImageMagick. A one-off for the README, which the test run does not need. Installs ImageMagick
# when missing (as root). SONGBEACON_BUILD_DIR names the build folder, as for test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SONGBEACON_BUILD_DIR:-build}
scripts/setup.sh
if ! dpkg-query -W -f='${Status}\n' imagemagick 2>/dev/null | grep -q '^install ok installed$'; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick
fi
mkdir -p "$B"
export WINEPREFIX="$PWD/$B/wineprefix-installer-screenshot"
rm -rf "$WINEPREFIX" # a fresh prefix: no player folder recorded in its registry
source scripts/wine-prefix.sh
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work" "$WINEPREFIX"' EXIT
cmake -S . -B "$B/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$B/win32" --target songbeacon_setup installer_screenshot >/dev/null
setup=$(echo "$PWD/$B/win32/installer/"*-setup.exe)
tool=$PWD/$B/win32/tests/installer_screenshot.exe
(cd "$work" && xvfb-run -a -s '-screen 0 1024x768x24' \
  sh -c '"$@"; status=$?; wineserver -w; exit $status' sh "$OLDPWD/cmake/wine-run.sh" "$tool" "$setup" installer.bmp)
mkdir -p docs
/usr/bin/convert "$work/installer.bmp" -strip docs/installer.png
echo "wrote docs/installer.png"
