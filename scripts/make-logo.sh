#!/usr/bin/env bash
# Remakes examples/sc-logo.jpg, the placeholder logo that the status page shows above the station's
# header (440 x 121, as the page's IMG tag says), drawn from text with ImageMagick in the page's own
# colours. A one-off: the file is committed, and the demo and the release package copy it. Installs
# ImageMagick when missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! dpkg-query -W -f='${Status}\n' imagemagick 2>/dev/null | grep -q '^install ok installed$'; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick
fi
/usr/bin/convert -size 440x121 'gradient:#005588-#001a2b' \
  -font DejaVu-Sans-Bold -pointsize 46 -fill '#FFFF00' -gravity center -annotate +0-14 'Songbeacon' \
  -font DejaVu-Sans -pointsize 14 -fill '#FFFFFF' -annotate +0+30 "placeholder logo: put your station's own sc-logo.jpg here" \
  -strip -interlace none -sampling-factor 4:2:0 -quality 85 examples/sc-logo.jpg
echo "wrote examples/sc-logo.jpg ($(stat -c %s examples/sc-logo.jpg) bytes)"
