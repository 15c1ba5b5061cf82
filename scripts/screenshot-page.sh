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

# A stand-in for the station's own sc-logo.jpg, which lives beside the page on a real server
# (Chromium goes by the image's content, so a PNG under that name shows). Drawn at twice the size
# the page shows it: Chromium leaves text out of very short windows.
cat >"$work/logo.htm" <<'HTML'
<html><body style="margin:0;background:#003355;color:#ffff00;font:bold 88px sans-serif;text-align:center;
line-height:242px">station logo</body></html>
HTML
shoot "$work/sc-logo.jpg" 880,242 "$work/logo.htm"

"$B/page-sample/page-sample" "$work/status.htm"
mkdir -p docs
shoot "$PWD/docs/page-sample.png" 600,500 "$work/status.htm"
echo "wrote docs/page-sample.png"
