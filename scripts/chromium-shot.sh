#!/usr/bin/env bash
# Sourced by the scripts that photograph our HTML for the guides in docs/: a private folder $work for the
# run, and shoot <output.png> <width,height> <page> to take a picture in headless Chromium (Debian's
# chromium, as the browser tests use). On exit every browser process of the run (each names $work
# in its command line) is ended, then the folder removed.
work=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-shot-XXXXXX")
chromium_cleanup() {
  for p in /proc/[0-9]*; do
    grep -qsF "$work" "$p/cmdline" && kill -KILL "${p#/proc/}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap chromium_cleanup EXIT

shoot() { # <output.png> <width,height> <page>
  mkdir -p "$work/profile" "$work/config"
  XDG_CONFIG_HOME="$work/config" /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$work/profile" --screenshot="$1" --window-size="$2" \
    "file://$3" >/dev/null 2>&1
}
