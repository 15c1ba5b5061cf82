#!/usr/bin/env bash
# Regenerates docs/page-sample.png: renders a sample status page with the page code of this tree
# and photographs it in headless Chromium (Debian's chromium, as the browser tests use).
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SONGBEACON_BUILD_DIR:-build}
mkdir -p "$B/page-sample"
g++ -std=c++17 -O1 -Wall -Wextra -Werror -Isrc -o "$B/page-sample/page-sample" scripts/page-sample.cpp \
  src/page/page_render.cpp src/history/title_history.cpp src/common/memory.cpp src/common/empty_string.cpp

source scripts/chromium-shot.sh

# The placeholder logo that the demo and the release package put beside the page.
cp examples/sc-logo.jpg "$work/sc-logo.jpg"

"$B/page-sample/page-sample" "$work/status.htm"
mkdir -p docs
shoot "$PWD/docs/page-sample.png" 600,500 "$work/status.htm"
echo "wrote docs/page-sample.png"
