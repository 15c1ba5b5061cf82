#!/usr/bin/env bash
# Builds the release of the current commit twice, from two clones at different paths, each with
# scripts/release.sh in its own clean build folder, and compares them: first the build information
# (the tool versions that shape the bytes: scripts/build-info.sh), naming each line that differs,
# then byte for byte the DLL, the tool that chooses its limits, the zip, the setup program and the
# checksums. Exits non-zero when any differs. Uncommitted changes are not built. Takes a minute or
# two per build.
# With --against, builds once and compares with another build's dist/ instead (the Windows job's
# artifact, say): identical files are promised only from identical recorded versions, so when the
# build information differs, the versions that differ are named first, and the files that differ
# are put down to them.
# With SONGBEACON_SIGN_PFX and SONGBEACON_SIGN_PASSWORD_FILE set, the builds are signed with that
# certificate (scripts/release.sh), and the signed DLL and tool are compared too.
#   scripts/check-reproducible.sh [--against DIST] [--keep FOLDER]
#     --against DIST  the dist/ folder of another build of this commit and version
#     --keep FOLDER   copies the first build's dist/ files, DLL and tool there, for a closer look
set -euo pipefail
keep="" against=""
while [ $# -gt 0 ]; do
  case "$1" in
  --keep) [ -n "${2:-}" ] && keep=$(realpath -m "$2") && shift 2 || set -- usage ;;
  --against) [ -d "${2:-}" ] && against=$(realpath "$2") && shift 2 || set -- usage ;;
  *)
    echo "usage: scripts/check-reproducible.sh [--against DIST] [--keep FOLDER]" >&2
    exit 1
    ;;
  esac
done
# Each clone builds in its own build/ and dist/; the certificate's files are named from here.
unset SONGBEACON_BUILD_DIR SONGBEACON_DIST_DIR
for name in SONGBEACON_SIGN_PFX SONGBEACON_SIGN_PASSWORD_FILE; do
  [ -z "${!name:-}" ] || export "$name=$(realpath -m "${!name}")"
done
cd "$(dirname "$0")/.."
commit=$(git rev-parse HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-reproducible-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The clones come from a bundle of the commit, so that git reads this repository only here, where
# it is already trusted, and never as another clone's remote (which a repository another user
# owns would need a second exception for).
git bundle create -q "$work/commit.bundle" HEAD
first="$work/one" second="$work/second/with a longer path"
trees=("$first")
[ -n "$against" ] || trees+=("$second")
for tree in "${trees[@]}"; do
  git -c advice.detachedHead=false clone -q "$work/commit.bundle" "$tree"
  git -C "$tree" -c advice.detachedHead=false checkout -q "$commit"
  (cd "$tree" && scripts/release.sh >/dev/null)
done
labels=("the first build" "the second")
if [ -n "$against" ]; then
  mkdir -p "$second/dist"
  find "$against" -maxdepth 1 -type f -exec cp -p {} "$second/dist/" \;
  labels=("this build" "$against")
fi

status=0
# The build information first: each line that differs, by its name.
info=$(cd "$first" && echo dist/*-build-info.txt)
if cmp -s "$first/$info" "$second/$info"; then
  echo "same build information: $info"
  tools_differ=""
else
  echo "DIFFERENT:  $info"
  tools_differ=$(awk -F': ' -v one="${labels[0]}" -v two="${labels[1]}" '
    NR == FNR { if (NF > 1) mine[$1] = substr($0, length($1) + 3); next }
    NF > 1 { seen[$1] = 1; theirs = substr($0, length($1) + 3)
             if (mine[$1] != theirs) print "  " $1 ": " (($1 in mine) ? mine[$1] : "(none)") " in " one ", " theirs " in " two }
    END { for (key in mine) if (!(key in seen)) print "  " key ": " mine[key] " in " one ", none in " two }' \
    "$first/$info" "$second/$info" 2>/dev/null || echo "  ${labels[1]} has no $info")
  echo "$tools_differ"
  status=1
fi
for file in build/release/src/gen_SBeacon.dll build/release/simhost/songbeacon-tune.exe \
  build/release/installer/signed/gen_SBeacon.dll build/release/installer/signed/songbeacon-tune.exe \
  dist/*-win32.zip dist/*-setup.exe dist/*-SHA256SUMS; do
  for match in "$first"/$file; do
    [ -e "$match" ] || continue # the signed files, in an unsigned build
    relative=${match#"$first"/}
    [ -e "$second/$relative" ] || [ -z "$against" ] || continue # --against: dist/ alone
    if cmp -s "$match" "$second/$relative"; then
      echo "same bytes: $relative ($(stat -c %s "$match") bytes)"
      continue
    fi
    echo "DIFFERENT:  $relative"
    status=1
    if [[ $relative == *.zip ]] && [ -e "$second/$relative" ]; then
      entries=""
      for entry in $(unzip -Z1 "$match"); do
        cmp -s <(unzip -p "$match" "$entry") <(unzip -p "$second/$relative" "$entry" 2>/dev/null) || entries+=" $entry"
      done
      echo "            entries that differ:${entries:- none (only their order, times or modes)}"
    fi
  done
done
if [ -n "$tools_differ" ]; then
  echo "The two builds recorded different tool versions (above), which shape the bytes: identical"
  echo "files come only from identical recorded versions. Build again with the same versions to compare."
fi
if [ -n "$keep" ]; then
  mkdir -p "$keep/signed"
  cp "$first"/dist/* "$first/build/release/src/gen_SBeacon.dll" "$first/build/release/simhost/songbeacon-tune.exe" "$keep/"
  cp "$first"/build/release/installer/signed/* "$keep/signed/" 2>/dev/null || true
fi
exit $status
