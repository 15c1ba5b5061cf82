#!/usr/bin/env bash
# Writes the release zip so that the same inputs always give the same bytes: the entries sorted by
# name, stored flat, each with mode 0644 and the same time stamp (SOURCE_DATE_EPOCH when set, else
# the time of the source tree's last commit: scripts/source-date.sh), and no extra fields (zip -X).
# When there is no time stamp (no git checkout, or one git refuses to read), it makes no zip and
# fails with source-date.sh's line saying why: a zip stamped with some fixed date instead would
# differ from every other build's.
#   make-zip.sh <out.zip> <source-tree> <file>...      (each file keeps its own name)
set -euo pipefail
out=$(realpath -m "$1") tree=$2
shift 2
stamp=$("$tree/scripts/source-date.sh" "$tree")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for file in "$@"; do
  cp "$file" "$stage/"
done
chmod 0644 "$stage"/*
touch -d "@$stamp" "$stage"/*
rm -f "$out" "$out.tmp"
# zip stores local time: read in UTC, the stamp is the same wherever the zip is made.
(cd "$stage" && LC_ALL=C ls | TZ=UTC zip -X -q -@ "$out.tmp")
mv "$out.tmp" "$out"
