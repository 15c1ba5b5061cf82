#!/usr/bin/env bash
# The layering check fails on an include against the map: run on a copy of the tree in which the
# history room includes the page room above it, and the simulated player's tuning room includes its
# command line.
#   check_catches_a_bad_include.sh <repository root>
set -uo pipefail
root=$(cd "$1" && pwd)
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/docs"
cp -r "$root/src" "$copy/src"
cp -r "$root/simhost" "$copy/simhost"
cp "$root/docs/architecture.md" "$copy/docs/"
sed -i '0,/^#include/s//#include "page\/page_render.h"\n#include/' "$copy/src/history/repeat_filter.cpp"
sed -i '0,/^#include/s//#include "cli\/options.h"\n#include/' "$copy/simhost/tuning/run_stats.cpp"
output=$("$root/tests/layering/check_layering.sh" "$copy")
status=$?
echo "$output"
[ $status -ne 0 ] && grep -q "src/history/repeat_filter.cpp: includes src/page/page_render.h" <<<"$output" &&
  grep -q "simhost/tuning/run_stats.cpp: includes simhost/cli/options.h" <<<"$output"
