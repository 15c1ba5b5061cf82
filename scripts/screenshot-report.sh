#!/usr/bin/env bash
# Regenerates docs/report-sample.png: a day of the example playlist (examples/rotation.m3u,
# shuffled with seed 7, artist window 12, title window 150) played fast at the real plug-in by
# scripts/try-playlist.sh, and its HTML report photographed in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/chromium-shot.sh

scripts/try-playlist.sh examples/rotation.m3u --ini examples/plugin.ini --artist-limit 12 --title-limit 150 \
  --fast --hours 24 --shuffle 7 --quiet --report "$work/report.html" >"$work/run.log" 2>&1 ||
  { cat "$work/run.log" && exit 1; }
mkdir -p docs
shoot "$PWD/docs/report-sample.png" 800,2600 "$work/report.html"
echo "wrote docs/report-sample.png"
