#!/usr/bin/env bash
# The release where the Windows workflow's container makes it: as root, over a checkout that another
# user owns (uid 1001, as the runner's user owns the workspace), which git refuses to read
# ("detected dubious ownership") until it is marked safe. In a clone of the committed tree:
# - before: scripts/release.sh, scripts/windows-test-pack.sh and scripts/check-reproducible.sh stop
#   at once, and installer/make-zip.sh makes no zip, each with one line in git's own words; nothing
#   is stamped with some other date, and dist/ stays empty. With SOURCE_DATE_EPOCH the zip needs no git;
# - after the workflow's own step that marks the workspace safe (run here against a private global
#   git configuration), the time stamp the release and the pack take (scripts/source-date.sh) is the
#   commit's, and scripts/release.sh builds the release, its zip stamped at the commit's time;
# - that release, stopped by SIGTERM while it writes its files into dist/, leaves none of its
#   temporary *.part files there, and no file of its own.
# Builds the release once (a minute or two). Needs root, to run over another user's files:
# otherwise skipped (status 77).
#   check_release_clone.sh
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tree="$(cd "$here/../.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: needs root, to run as root over a clone that another user owns"
  exit 77
fi
root=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-clone-XXXXXX")
trap 'rm -rf "$root"' EXIT
fail=0
check() { # <description> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && fail=1; fi
}

# The clone, from a bundle of the commit: git reads the tree under test only here.
clone="$root/workspace"
git -C "$tree" bundle create -q "$root/commit.bundle" HEAD &&
  git -c advice.detachedHead=false clone -q "$root/commit.bundle" "$clone" &&
  git -C "$clone" -c advice.detachedHead=false checkout -q "$(git -C "$tree" rev-parse HEAD)" ||
  { echo "FAILED: cannot clone the committed tree" && exit 1; }
chown -R 1001:1001 "$clone"
# A global git configuration of the test's own, with no exception in it yet.
export GIT_CONFIG_GLOBAL="$root/gitconfig"
: >"$GIT_CONFIG_GLOBAL"
unset SOURCE_DATE_EPOCH SONGBEACON_SIGN_PFX SONGBEACON_SIGN_PASSWORD_FILE SONGBEACON_BUILD_DIR SONGBEACON_DIST_DIR
commit_time=$(git -C "$tree" log -1 --format=%ct)

entry_time() { # <zip> <entry>: the entry's time, as Unix time (a zip keeps even seconds)
  local t
  t=$(TZ=UTC unzip -Z -T "$1" "$2" | awk '{ print $7 }')
  date -u -d "${t:0:4}-${t:4:2}-${t:6:2} ${t:9:2}:${t:11:2}:${t:13:2}" +%s
}
refused() { # <output>: one line on stderr naming git's reason
  [ "$(grep -c . <<<"$1")" = 1 ] && grep -q "detected dubious ownership in repository at '$clone'" <<<"$1"
}
output=$(cd "$clone" && scripts/release.sh 2>&1 >/dev/null)
status=$?
echo "$output"
check "release.sh over another user's clone stops (status $status) with one line naming git's reason" \
  eval '[ $status -ne 0 ] && refused "$output" && grep -q "^release: " <<<"$output"'
check "before building anything, and writes nothing into dist/" \
  eval '[ ! -e "$clone/build/release" ] && [ -z "$(ls -A "$clone/dist" 2>/dev/null)" ]'
output=$(cd "$clone" && scripts/windows-test-pack.sh 2>&1 >/dev/null)
status=$?
echo "$output"
check "windows-test-pack.sh stops (status $status) with one line naming git's reason, before building" \
  eval '[ $status -ne 0 ] && refused "$output" && [ ! -e "$clone/build/win32" ]'
output=$(cd "$clone" && scripts/check-reproducible.sh 2>&1)
status=$?
check "check-reproducible.sh stops (status $status) in git's own words" \
  eval '[ $status -ne 0 ] && grep -q "detected dubious ownership" <<<"$output"'
printf 'x\n' >"$root/file.txt"
output=$("$clone/installer/make-zip.sh" "$root/out.zip" "$clone" "$root/file.txt" 2>&1)
status=$?
echo "$output"
check "make-zip.sh makes no zip (status $status), with one line naming git's reason" \
  eval '[ $status -ne 0 ] && refused "$output" && [ ! -e "$root/out.zip" ]'
SOURCE_DATE_EPOCH=1234567890 "$clone/installer/make-zip.sh" "$root/out.zip" "$clone" "$root/file.txt"
check "with SOURCE_DATE_EPOCH it needs no git: its entry carries that time" \
  eval '[ "$(entry_time "$root/out.zip" file.txt)" = 1234567890 ]'

# The workflow's own step, as it runs in the container, against the test's global configuration.
remedy=$(sed -n '/name: Let git read the checkout/{n;s/^ *run: //p;}' "$tree/.github/workflows/windows.yml")
check "the workflow marks the workspace safe for git before the release ($remedy)" \
  eval '[ -n "$remedy" ] && [ "$(grep -n -m 1 -e "$remedy" -e "scripts/release.sh" "$tree/.github/workflows/windows.yml" | grep -c safe.directory)" = 1 ]'
GITHUB_WORKSPACE="$clone" bash -c "$remedy"
check "then the pack's and the release's time stamp is the commit's" \
  test "$("$clone/scripts/source-date.sh" "$clone")" = "$commit_time"

# The release, stopped by SIGTERM once its files are in dist/ under their temporary names: the
# checksums' sha256sum sends it (release.sh is its parent), and release.sh takes the signal as
# soon as that command has ended, before any file takes its own name.
mkdir -p "$root/bin"
cat >"$root/bin/sha256sum" <<'EOF'
#!/usr/bin/env bash
ls "$SONGBEACON_DIST_DIR"/*.part >"$SONGBEACON_DIST_DIR/../parts-seen.txt" 2>/dev/null
kill -TERM "$PPID"
exec /usr/bin/sha256sum "$@"
EOF
chmod +x "$root/bin/sha256sum"
dist="$root/dist"
output=$(cd "$clone" && PATH="$root/bin:$PATH" SONGBEACON_DIST_DIR="$dist" scripts/release.sh 2>&1)
status=$?
echo "$output" | tail -n 5
zip=$(echo "$clone"/build/release/installer/*-win32.zip)
check "after it, release.sh builds the release; its zip is stamped at the commit's time" \
  eval '[ -f "$zip" ] && stamped=$(entry_time "$zip" gen_SBeacon.dll) &&
    [ $((stamped - commit_time)) -ge -1 ] && [ $((stamped - commit_time)) -le 1 ]'
check "stopped by SIGTERM while its files were in dist/ ($(wc -l <"$root/parts-seen.txt" 2>/dev/null || echo no) *.part files), it exits 143 (got $status)" \
  eval '[ -s "$root/parts-seen.txt" ] && [ $status = 143 ]'
check "and leaves nothing in dist/ (left: $(ls -A "$dist" 2>/dev/null | tr '\n' ' '))" \
  eval '[ -z "$(ls -A "$dist" 2>/dev/null)" ]'
exit $fail
