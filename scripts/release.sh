#!/usr/bin/env bash
# The release command. On a fresh Debian 12 machine, as root: installs what is missing, builds the
# Windows build in Release in a clean folder ($B/release) and writes into dist/
#   songbeacon-<version>-setup.exe   the setup program;
#   songbeacon-<version>-win32.zip   the DLL, the tool that chooses its limits (songbeacon-tune.exe),
#                                    the operator's read-me, an example plugin.ini, the placeholder
#                                    logo and the licence, for a manual install;
#   songbeacon-<version>-build-info.txt  the commit, the time stamp and the versions of the tools
#                                    that shape the files' bytes (scripts/build-info.sh);
#   songbeacon-<version>-SHA256SUMS  the checksums of those three.
# Files of other versions already in dist/ are left alone, their checksums included. The same
# commit built with the same tool versions gives the same bytes wherever it is built
# (scripts/check-reproducible.sh shows it, comparing the build information first). The files carry
# the commit's time (SOURCE_DATE_EPOCH overrides it); a tree git cannot read (not a checkout, or one
# another user owns) stops the release at once, in git's words (scripts/source-date.sh).
# SONGBEACON_BUILD_DIR names another folder than build/, as for scripts/test.sh, and
# SONGBEACON_DIST_DIR another than dist/.
#
# Signing (Authenticode, SHA-256, with osslsigncode, Debian 12's 2.5 or later): SONGBEACON_SIGN_PFX
# names a PKCS#12 file with the code-signing certificate and its key, SONGBEACON_SIGN_PASSWORD_FILE
# a file holding its password (read by osslsigncode itself: never on a command line, never printed).
# Then the DLL and the tool (in the zip and in the setup program), the uninstaller and the setup program are
# signed, at the time of the commit, so that signed files are byte-identical too, with an RSA key:
# an ECDSA key signs differently every time, and the first line then says the files differ from
# build to build. SONGBEACON_SIGN_TIMESTAMP_URL adds a time-stamping server's countersignature,
# which keeps a signature valid after its certificate expires but needs the network and makes every
# build differ. Without a certificate the files are built unsigned. A certificate that cannot be
# used stops the release with one line, before anything is built; dist/ receives files only once
# all of them are complete, and a release stopped on the way (an error, Ctrl+C, SIGTERM) leaves
# none of its temporary files there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
B=${SONGBEACON_BUILD_DIR:-build}
DIST=${SONGBEACON_DIST_DIR:-dist}
BUILD="$B/release"
pfx=${SONGBEACON_SIGN_PFX:-} password_file=${SONGBEACON_SIGN_PASSWORD_FILE:-}
timestamp_url=${SONGBEACON_SIGN_TIMESTAMP_URL:-}
fail() {
  echo "release: $*" >&2
  exit 1
}

# The time stamp of every file (the zip's entries, the signatures), asked first so that a tree git
# cannot read stops the release before anything is built; the build takes it from the environment.
stamp=$(scripts/source-date.sh . 2>&1) || fail "${stamp#source-date: }"
export SOURCE_DATE_EPOCH="$stamp"

signing=() signing_kind=unsigned
if [ -n "$pfx" ] || [ -n "$password_file" ]; then
  [ -n "$pfx" ] || fail "SONGBEACON_SIGN_PASSWORD_FILE is set but SONGBEACON_SIGN_PFX is not: set both to sign, neither to build unsigned"
  [ -n "$password_file" ] || fail "SONGBEACON_SIGN_PFX is set but SONGBEACON_SIGN_PASSWORD_FILE is not: set both to sign, neither to build unsigned"
  [ -f "$pfx" ] && [ -r "$pfx" ] || fail "the certificate $pfx (SONGBEACON_SIGN_PFX) does not exist or cannot be read"
  [ -f "$password_file" ] && [ -r "$password_file" ] ||
    fail "the password file $password_file (SONGBEACON_SIGN_PASSWORD_FILE) does not exist or cannot be read"
  pfx=$(realpath "$pfx") password_file=$(realpath "$password_file")
  # The time of the commit, as for the zip's entries: the same commit signs the same bytes.
  sign_time=$stamp
  # The certificate and the time go to scripts/sign.sh in the environment, through the build too.
  export SONGBEACON_SIGN_PFX="$pfx" SONGBEACON_SIGN_PASSWORD_FILE="$password_file" SONGBEACON_SIGN_TIME="$sign_time"
  export SONGBEACON_SIGN_TIMESTAMP_URL="$timestamp_url"
  # A trial on what the release signs, a PE file (a tiny DLL made here), tells a wrong password, an
  # unusable certificate or an unreachable time-stamping server at once, in osslsigncode's own
  # words, instead of after the build. Signed twice: a key that signs differently every time (ECDSA)
  # cannot give byte-identical files, and the first line says so.
  probe=$(mktemp -d)
  printf 'int probe;\n' | i686-w64-mingw32-gcc-posix -shared -x c - -o "$probe/probe.dll" 2>/dev/null ||
    { rm -rf "$probe" && fail "cannot make the trial DLL for the certificate (i686-w64-mingw32-gcc-posix)"; }
  cp "$probe/probe.dll" "$probe/again.dll"
  reason=$(scripts/sign.sh trial "$probe/probe.dll" 2>&1 | head -n 1 || true)
  randomised=""
  if [ -z "$reason" ] && [ -z "$timestamp_url" ]; then # a timestamp makes every signing differ anyway
    reason=$(scripts/sign.sh trial "$probe/again.dll" 2>&1 | head -n 1 || true)
    cmp -s "$probe/probe.dll" "$probe/again.dll" || randomised=yes
  fi
  rm -rf "$probe"
  [ -z "$reason" ] || fail "cannot sign with $pfx: ${reason#*: cannot sign * with "$pfx": }"
  signing=(-DSONGBEACON_SIGN=ON) signing_kind=signed
  [ -z "$timestamp_url" ] || signing_kind=timestamped
  if [ -n "$timestamp_url" ]; then
    echo "release: signing with $(basename "$pfx"), timestamped by $timestamp_url (needs the network; the files differ from build to build)"
  elif [ -n "$randomised" ]; then
    echo "release: signing with $(basename "$pfx") at the commit's time, $(date -u -d "@$sign_time" '+%Y-%m-%d %H:%M:%S') UTC; its key is not RSA and signs differently every time (ECDSA does), so the signed files differ from build to build"
  else
    echo "release: signing with $(basename "$pfx") at the commit's time, $(date -u -d "@$sign_time" '+%Y-%m-%d %H:%M:%S') UTC"
  fi
else
  echo "release: not signed (set SONGBEACON_SIGN_PFX and SONGBEACON_SIGN_PASSWORD_FILE to sign)"
fi

rm -rf "$BUILD"
mkdir -p "$B"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DSONGBEACON_BENCHMARKS=OFF "${signing[@]}" >/dev/null
# A signing that fails in the build all the same (the server gone since the trial) is told in its
# one line; any other failure with the build's own messages.
if ! cmake --build "$BUILD" -j"$(nproc)" --target songbeacon_setup songbeacon_zip >/dev/null 2>"$BUILD/release.log"; then
  reason=$(grep -m 1 '^sign: ' "$BUILD/release.log" || true)
  [ -n "$reason" ] || { cat "$BUILD/release.log" >&2 && fail "the build failed (its messages above, also in $BUILD/release.log)"; }
  fail "${reason#sign: }"
fi

# The build folder is new, so each pattern matches the one file this version makes. The files go
# into dist/ under temporary names of this release's own first (another release may be writing
# there too), and take their own names only once all are there; an interrupted release removes its
# own temporary files and no other.
setup=$(echo "$BUILD"/installer/*-setup.exe)
zip=$(echo "$BUILD"/installer/*-win32.zip)
stem=$(basename "$setup" -setup.exe)
scripts/build-info.sh "$signing_kind" >"$BUILD/installer/$stem-build-info.txt"
mkdir -p "$DIST"
names=("$(basename "$setup")" "$(basename "$zip")" "$stem-build-info.txt" "$stem-SHA256SUMS")
part=".$$.part"
# A signal ends the script through exit, so that the EXIT trap runs for it too.
trap 'for file in "${names[@]}"; do rm -f "$DIST/$file$part"; done' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for file in "${names[@]:0:3}"; do
  cp "$BUILD/installer/$file" "$DIST/$file$part"
done
(cd "$BUILD/installer" && sha256sum "${names[@]:0:3}") >"$DIST/${names[3]}$part"
for file in "${names[@]}"; do
  mv -f "$DIST/$file$part" "$DIST/$file"
done

for file in "${names[@]}"; do
  printf '%-36s %7d bytes\n' "$DIST/$file" "$(stat -c %s "$DIST/$file")"
done
cat "$DIST/${names[3]}"
