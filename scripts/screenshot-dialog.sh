#!/usr/bin/env bash
# Remakes docs/dialog.png: shows the configuration dialog under Xvfb and Wine, captures it as a
# BMP and converts that with ImageMagick. A one-off for docs/installing.md, which the test run does not
# need. Installs its two extra packages when missing (as root). SONGBEACON_BUILD_DIR names the
# build folder, as for test.sh; the picture is taken in a Wine prefix of its own inside it.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SONGBEACON_BUILD_DIR:-build}
for p in imagemagick fonts-wine; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$p"
  fi
done
mkdir -p "$B"
export WINEPREFIX="$PWD/$B/wineprefix-screenshot"
source scripts/wine-prefix.sh # with Wine's own fonts, as every script that runs the plug-in
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
cmake -S . -B "$B/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$B/win32" --target dialog_screenshot
tool=$PWD/$B/win32/tests/dialog_screenshot.exe
(cd "$work" && xvfb-run -a -s '-screen 0 1024x768x24' "$OLDPWD/cmake/wine-run.sh" "$tool" dialog.bmp)
mkdir -p docs
convert "$work/dialog.bmp" -strip docs/dialog.png
echo "wrote docs/dialog.png"
