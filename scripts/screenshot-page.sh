#!/usr/bin/env bash
# Regenerates docs/page-sample.png: renders a sample status page with the page code of this tree
# and photographs it in headless Chromium (Debian's chromium, as the browser tests use).
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SONGBEACON_BUILD_DIR:-build}
mkdir -p "$B/page-sample"
g++ -std=c++17 -O1 -Wall -Wextra -Werror -Isrc -o "$B/page-sample/page-sample" scripts/page-sample.cpp \
  src/page/page_render.cpp src/history/title_history.cpp src/common/memory.cpp src/common/empty_string.cpp

work=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-screenshot-XXXXXX")
# Ends every browser process of this run (each names $work in its command line), then the folder.
cleanup() {
  for p in /proc/[0-9]*; do
    grep -qsF "$work" "$p/cmdline" && kill -KILL "${p#/proc/}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

shoot() { # <output.png> <width,height> <page.htm>
  mkdir -p "$work/profile" "$work/config"
  XDG_CONFIG_HOME="$work/config" /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$work/profile" --screenshot="$1" --window-size="$2" \
    "file://$3" >/dev/null 2>&1
}

# The placeholder logo that the demo and the release package put beside the page.
cp examples/sc-logo.jpg "$work/sc-logo.jpg"

"$B/page-sample/page-sample" "$work/status.htm"
mkdir -p docs
shoot "$PWD/docs/page-sample.png" 600,500 "$work/status.htm"
echo "wrote docs/page-sample.png"
