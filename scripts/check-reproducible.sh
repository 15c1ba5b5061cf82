#!/usr/bin/env bash
# Builds the release of the current commit twice, from two clones at different paths, each with
# scripts/release.sh in its own clean build folder, and compares the files byte for byte: the DLL,
# the tool that chooses its limits, the zip and the setup program. Exits non-zero when any differs. Uncommitted changes are not
# built. Takes a minute or two per build.
# With SONGBEACON_SIGN_PFX and SONGBEACON_SIGN_PASSWORD_FILE set, both builds are signed with that
# certificate (scripts/release.sh), and the signed DLL and tool are compared too.
#   scripts/check-reproducible.sh [--keep FOLDER]   (--keep: copies the first build's dist/ files
#                                                    DLL and tool there, for a closer look)
set -euo pipefail
keep=""
if [ "${1:-}" = --keep ] && [ -n "${2:-}" ]; then
  keep=$(realpath -m "$2")
elif [ $# -gt 0 ]; then
  echo "usage: scripts/check-reproducible.sh [--keep FOLDER]" >&2
  exit 1
fi
# Each clone builds in its own build/ and dist/; the certificate's files are named from here.
unset SONGBEACON_BUILD_DIR SONGBEACON_DIST_DIR
for name in SONGBEACON_SIGN_PFX SONGBEACON_SIGN_PASSWORD_FILE; do
  [ -z "${!name:-}" ] || export "$name=$(realpath -m "${!name}")"
done
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
for file in build/release/src/gen_SBeacon.dll build/release/simhost/songbeacon-tune.exe \
  build/release/installer/signed/gen_SBeacon.dll build/release/installer/signed/songbeacon-tune.exe \
  dist/*-win32.zip dist/*-setup.exe dist/SHA256SUMS; do
  for match in "$first"/$file; do
    [ -e "$match" ] || continue # the signed files, in an unsigned build
    relative=${match#"$first"/}
    if cmp -s "$match" "$second/$relative"; then
      echo "same bytes: $relative ($(stat -c %s "$match") bytes)"
    else
      echo "DIFFERENT:  $relative"
      status=1
    fi
  done
done
if [ -n "$keep" ]; then
  mkdir -p "$keep/signed"
  cp "$first"/dist/* "$first/build/release/src/gen_SBeacon.dll" "$first/build/release/simhost/songbeacon-tune.exe" "$keep/"
  cp "$first"/build/release/installer/signed/* "$keep/signed/" 2>/dev/null || true
fi
exit $status
