#!/usr/bin/env bash
# Regenerates docs/sweep-sample.png and docs/sweep-console.png: songbeacon-tune, as the station's
# PC runs it, on the example playlist with a station whose limits are 7 / 120 (the title limit
# outside the 0..90 swept) and 33 artist limits, under Wine; its page photographed in headless
# Chromium, and what it printed shown as a console window of 80 columns shows it (each line cut
# into rows of 80 characters, as the console wraps it). A one-off for docs/tuning.md.
# SONGBEACON_BUILD_DIR names the build folder, as for test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-player.sh # the prefix, and gen_SBeacon.dll and songbeacon-host.exe built
cmake --build "$B/win32" -j"$(nproc)" --target songbeacon-tune >/dev/null
source scripts/chromium-shot.sh

# The tool finds the installed plug-in and its plugin.ini beside itself, as the zip holds them.
mkdir -p "$work/player"
cp "$B/win32/simhost/songbeacon-tune.exe" "$B/win32/src/gen_SBeacon.dll" examples/plugin.ini "$work/player/"
cp examples/rotation.m3u "$work/player/Main rotation.m3u"
(cd "$work/player" && xvfb-run -a "$OLDPWD/cmake/wine-run.sh" songbeacon-tune.exe "Main rotation.m3u" \
  --artist-limit 7 --title-limit 120 --sweep-artist 0..32 --sweep-title 0..90:10 --max-skip-rate 20 \
  --shuffle 7 --no-browser </dev/null 2>&1 | tr -d '\r' >"$work/console.txt") ||
  { cat "$work/console.txt" && exit 1; }
grep -q '^recommended: ' "$work/console.txt" || { cat "$work/console.txt" && exit 1; }
# The page where the tool keeps it, as its last line names it: in the operator's own folder of the
# prefix.
page=$(winepath -u "$(sed -n 's/^The report is kept in \(.*\) (index\.html beside it.*$/\1/p' "$work/console.txt")")
mkdir -p docs
shoot "$PWD/docs/sweep-sample.png" 1200,2000 "$page"

# The console: its end, from the table on, in rows of 80 characters on a console's colours.
rows=$(sed -n '/^limits /,$p' "$work/console.txt" | fold -w 80)
count=$(wc -l <<<"$rows")
{
  printf '<!DOCTYPE html><html><head><meta charset="utf-8"><style>'
  printf 'body{margin:0;background:#0c0c0c}.bar{font:13px sans-serif;color:#fff;background:#1f1f1f;'
  printf 'padding:6px 10px}pre{margin:0;padding:6px 8px;font:15px/18px "DejaVu Sans Mono",monospace;'
  printf 'color:#cccccc;width:80ch;white-space:pre}</style></head><body>'
  printf '<div class="bar">Songbeacon - choose limits</div><pre>'
  sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g' <<<"$rows"
  printf '</pre></body></html>\n'
} >"$work/console.html"
shoot "$PWD/docs/sweep-console.png" "$((80 * 9 + 20)),$((count * 18 + 44))" "$work/console.html"
echo "wrote docs/sweep-sample.png and docs/sweep-console.png"
