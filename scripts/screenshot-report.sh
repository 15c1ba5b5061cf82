#!/usr/bin/env bash
# Regenerates docs/report-sample.png: a day of the example playlist (examples/rotation.m3u,
# shuffled with seed 7, artist window 12, title window 150) played fast at the real plug-in by
# scripts/try-playlist.sh, and its HTML report photographed in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-report-XXXXXX")
# Ends every browser process of this run (each names $work in its command line), then the folder.
cleanup() {
  for p in /proc/[0-9]*; do
    grep -qsF "$work" "$p/cmdline" && kill -KILL "${p#/proc/}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

scripts/try-playlist.sh examples/rotation.m3u --ini examples/plugin.ini --artist-limit 12 --title-limit 150 \
  --fast --hours 24 --shuffle 7 --quiet --report "$work/report.html" >"$work/run.log" 2>&1 ||
  { cat "$work/run.log" && exit 1; }
mkdir -p "$work/profile" "$work/config" docs
XDG_CONFIG_HOME="$work/config" /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic \
  --no-first-run --disable-background-networking --disable-component-update --disable-sync \
  --hide-scrollbars --user-data-dir="$work/profile" --screenshot="$PWD/docs/report-sample.png" \
  --window-size=800,2330 "file://$work/report.html" >/dev/null 2>&1
echo "wrote docs/report-sample.png"
