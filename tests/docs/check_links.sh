#!/usr/bin/env bash
# Every relative link between the project's pages resolves: in README.md, CHANGELOG.md and docs/,
# a link to a file of the tree finds the file, and an anchor, within a page or into another
# (installing.md#troubleshooting), finds a heading by GitHub's rule for heading anchors. Offline:
# links to web addresses are not followed. The checker is remark-validate-links, installed by
# scripts/setup.sh at the versions pinned in tools/link-check/package-lock.json. Then a copy of
# the pages with a missing file, a missing heading in the same page and a missing heading in
# another page must fail, naming each, so that the check cannot pass by checking nothing.
# usage: check_links.sh <source tree> <scratch folder>
set -uo pipefail
tree=$(realpath "$1") scratch=$2
tool=$tree/tools/link-check/node_modules
[ -x "$tool/.bin/remark" ] || { echo "no link checker in $tool: run scripts/setup.sh" && exit 1; }

# Checks the pages of the tree in folder $1; prints what does not resolve and fails on it.
check() {
  (cd "$1" && "$tool/.bin/remark" --no-config --no-color --quiet --frail --no-stdout \
    --use "$tool/remark-validate-links/index.js=repository:false" README.md CHANGELOG.md docs) 2>&1
}

status=0
if output=$(check "$tree"); then
  echo "ok: every relative link and anchor of README.md, CHANGELOG.md and docs/ resolves"
else
  echo "FAILED: links that do not resolve:" && echo "$output" && status=1
fi

# The copy: the pages themselves, and every other entry of the tree beside them as a link to it.
rm -rf "$scratch" && mkdir -p "$scratch"
copy=$(realpath "$scratch")/tree
mkdir "$copy"
cp -r "$tree/README.md" "$tree/CHANGELOG.md" "$tree/docs" "$copy/"
for entry in "$tree"/* "$tree"/.[!.]*; do
  [ -e "$copy/$(basename "$entry")" ] || ln -s "$entry" "$copy/$(basename "$entry")"
done
printf '\n[gone](no-such-page.md) [here](#missing-here) [there](tuning.md#missing-there)\n' \
  >>"$copy/docs/installing.md"
if output=$(check "$copy"); then
  echo "FAILED: the copy with three broken links passed" && status=1
fi
named=0
for broken in '`no-such-page.md`' '`#missing-here`' '`#missing-there` in `tuning.md`'; do
  if grep -qF "$broken" <<<"$output"; then
    echo "ok: broken, $broken fails" && named=$((named + 1))
  else
    echo "FAILED: the checker did not name $broken" && status=1
  fi
done
((named == 3)) || echo "$output"
exit $status
