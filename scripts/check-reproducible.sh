#!/usr/bin/env bash
# Builds the release of the current commit twice, from two clones at different paths, each with
# scripts/release.sh in its own clean build folder, and compares the files byte for byte: the DLL,
# the zip and the setup program. Exits non-zero when any differs. Uncommitted changes are not
# built. Takes a minute or two.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-reproducible-XXXXXX")
trap 'rm -rf "$work"' EXIT
for tree in "$work/one" "$work/second/with a longer path"; do
  git clone -q . "$tree"
  git -C "$tree" checkout -q "$(git rev-parse HEAD)"
  (cd "$tree" && scripts/release.sh >/dev/null)
done
status=0
first="$work/one" second="$work/second/with a longer path"
for file in build/release/src/gen_SBeacon.dll dist/*-win32.zip dist/*-setup.exe dist/SHA256SUMS; do
  for match in "$first"/$file; do
    relative=${match#"$first"/}
    if cmp -s "$match" "$second/$relative"; then
      echo "same bytes: $relative ($(stat -c %s "$match") bytes)"
    else
      echo "DIFFERENT:  $relative"
      status=1
    fi
  done
done
exit $status
