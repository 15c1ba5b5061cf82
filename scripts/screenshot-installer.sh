#!/usr/bin/env bash
# Remakes the pictures of the setup program's and the uninstaller's pages in docs/ (installer-*.png,
# uninstaller-*.png): runs them under Xvfb and Wine in a prefix of their own, with no player
# installed, so that the folder page offers the default C:\Program Files\Winamp and the warning
# about a folder without winamp.exe shows. tests/installer/installer_pages.cpp clicks through
# every page as an operator would (the progress pages pass on by themselves within a second, so
# they have no picture), checks that each text shows whole and saves each page as a BMP, which
# ImageMagick converts. The folder page's picture carries the "Space required" it shows (the pages
# case of tests/installer/check_installer.sh compares it with Setup's). Installs
# ImageMagick when missing (as root). SONGBEACON_BUILD_DIR names the build folder, as for test.sh.
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
cmake --build "$B/win32" --target songbeacon_setup installer_pages >/dev/null
setup=$(echo "$PWD/$B/win32/installer/"*-setup.exe)
tool=$PWD/$B/win32/tests/installer_pages.exe
folder='C:\Program Files\Winamp'
(cd "$work" && xvfb-run -a -s '-screen 0 1024x768x24' sh -c '
  "$1" "$2" install "$3" "$4" . && "$1" "$2" uninstall "$4\Plugins\Songbeacon\uninstall.exe" .
  status=$?; wineserver -w; exit $status' sh "$OLDPWD/cmake/wine-run.sh" "$tool" "$setup" "$folder") | tee "$work/pages.log"
mkdir -p docs
# The folder page's picture also carries, as its PNG comment, the "Space required" it shows, so
# that the pages test can tell when the picture no longer shows what Setup says.
required=$(grep -o -m 1 'Space required: [0-9.]* [KMG]B' "$work/pages.log")
for picture in "$work"/*.bmp; do
  name=$(basename "$picture" .bmp)
  if [ "$name" = installer-3-folder ]; then # no time chunks, as -strip, but the comment kept
    /usr/bin/convert "$picture" +profile '*' -define png:exclude-chunks=date,time,bKGD -set comment "$required" \
      "docs/$name.png"
  else
    /usr/bin/convert "$picture" -strip "docs/$name.png"
  fi
  echo "wrote docs/$name.png"
done
