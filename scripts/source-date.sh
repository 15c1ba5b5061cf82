#!/usr/bin/env bash
# The time stamp the release files carry, so that the same commit gives the same bytes wherever it
# is built: the zips' entries, and the signatures' signing time. Prints SOURCE_DATE_EPOCH when it is
# set, else the time of the tree's last commit, as Unix time.
#   source-date.sh <source tree>
# When neither answers, it fails loudly rather than stamp some fixed date, which would make a
# build there differ from every other: one line on stderr says why, in git's own words (a tree
# that is no checkout, or one that another user owns, which git refuses to read: "detected dubious
# ownership"), and what to do. Exits 0 with the time, 1 without.
set -uo pipefail
tree=${1:-.}
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]]; then
    echo "source-date: SOURCE_DATE_EPOCH is '$SOURCE_DATE_EPOCH', not a Unix time (whole seconds since 1970)" >&2
    exit 1
  fi
  echo "$SOURCE_DATE_EPOCH"
  exit 0
fi
answer=$(git -C "$tree" log -1 --format=%ct 2>&1)
if [[ $answer =~ ^[0-9]+$ ]]; then
  echo "$answer"
  exit 0
fi
reason=$(grep -m 1 . <<<"$answer")
case "$answer" in
*"dubious ownership"*)
  advice="another user owns it: mark it safe (git config --global --add safe.directory $(realpath -m "$tree")) or run as its owner" ;;
*) advice="build from a git checkout" ;;
esac
echo "source-date: no time stamp for the release files: git cannot give the last commit's time of $(realpath -m "$tree") (${reason:-no answer}); $advice, or set SOURCE_DATE_EPOCH" >&2
exit 1
