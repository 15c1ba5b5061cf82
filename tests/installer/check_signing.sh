#!/usr/bin/env bash
# A signed release, made with a throwaway code-signing certificate that this test creates itself:
# - a certificate that cannot be used (a missing file, a wrong password, half the settings) stops
#   scripts/release.sh with one line and nothing in dist/, as does a time-stamping server that
#   cannot be reached; scripts/sign.sh leaves a file it cannot sign as it was;
# - scripts/check-reproducible.sh with the certificate builds the current commit twice, signed,
#   byte-identical;
# - every signed file verifies against the certificate, signed at the commit's time: the setup
#   program, the DLL and the tool in the zip and the ones packed;
# - the signed setup program installs silently, the DLL and uninstaller it leaves verify, and the
#   signed DLL plays in the simulated player (check_installer.sh, case signed);
# - the build information in dist/ records the osslsigncode that signed (2.5), and a build signed
#   with another version (the system's own, where it is not 2.5: Debian 12's backports have 2.9),
#   compared with check-reproducible.sh --against, is told apart by that version, named;
# - an ECDSA certificate whose path holds $, a backtick and a double quote signs the whole release
#   (the first line saying its files differ from build to build), with its checksums, the build
#   information's among them, in a file of its version's own; another release's temporary file and
#   an earlier release's SHA256SUMS in dist/ are left alone.
# All with the osslsigncode a fresh Debian 12 has (2.5), even where a newer one is installed: it is
# fetched once (apt-get download) and unpacked into <tools folder>.
# Builds the release four times (three where the system's osslsigncode is 2.5 too): several minutes.
#   check_signing.sh <songbeacon-host.exe> <hold_file.exe> <run_limited.exe> <installer_pages.exe> <tools folder>
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tree="$(cd "$here/../.." && pwd)"
host=$1 holder=$2 limited=$3 pages=$4 tools=$5
if [ ! -x "$tools/usr/bin/osslsigncode" ]; then
  rm -rf "$tools" && mkdir -p "$tools" &&
    (cd "$tools" && apt-get download -q osslsigncode/bookworm >/dev/null 2>&1 && dpkg-deb -x osslsigncode_*.deb .) ||
    { echo "FAILED: cannot fetch Debian 12's osslsigncode (apt-get download osslsigncode/bookworm)" && exit 1; }
fi
system_path=$PATH
export PATH="$tools/usr/bin:$PATH"
echo "with $(osslsigncode --version 2>&1 | head -n 1)"

root=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-signing-XXXXXX")
trap 'rm -rf "$root"' EXIT
fail=0
check() { # <description> <command...>: runs the command, reports a failure
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && fail=1; fi
}

cert="$root/signer.pem" pfx="$root/signer.pfx" password="$root/password"
openssl req -x509 -newkey rsa:2048 -keyout "$root/signer.key" -out "$cert" -days 30 -nodes \
  -subj "/CN=Songbeacon Test Signer" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
printf 'not on any command line\n' >"$password"
openssl pkcs12 -export -out "$pfx" -inkey "$root/signer.key" -in "$cert" -passout "file:$password"
printf 'wrong\n' >"$root/wrong-password"

# Certificates that cannot be used, table-driven: <what>|<pfx>|<password file>[|<time-stamping
# server>]. Each stops the release before the build with one line, and dist/ gets nothing.
while IFS='|' read -r what use_pfx use_password use_server; do
  dist="$root/dist-refused"
  rm -rf "$dist"
  output=$(cd "$tree" && SONGBEACON_BUILD_DIR="$root/build-refused" SONGBEACON_DIST_DIR="$dist" \
    SONGBEACON_SIGN_PFX="$use_pfx" SONGBEACON_SIGN_PASSWORD_FILE="$use_password" \
    SONGBEACON_SIGN_TIMESTAMP_URL="$use_server" scripts/release.sh 2>&1)
  status=$?
  echo "$output"
  check "$what: the release stops (status $status)" test $status -ne 0
  check "$what: with one line, beginning 'release:'" \
    eval '[ "$(grep -c . <<<"$output")" = 1 ] && grep -q "^release: " <<<"$output"'
  check "$what: the password is not printed" eval '! grep -q "not on any command line" <<<"$output"'
  check "$what: nothing in dist/" eval '[ -z "$(ls -A "$dist" 2>/dev/null)" ]'
done <<EOF
a missing certificate file|$root/missing.pfx|$password
a missing password file|$pfx|$root/missing-password
a wrong password|$pfx|$root/wrong-password
a certificate without its password file|$pfx|
an unreachable time-stamping server|$pfx|$password|http://127.0.0.1:9/
EOF

# sign.sh on its own: a file it cannot sign is left byte for byte, with nothing beside it.
printf 'MZ not really a program' >"$root/unsigned.exe"
cp "$root/unsigned.exe" "$root/kept.exe"
SONGBEACON_SIGN_PFX="$pfx" SONGBEACON_SIGN_PASSWORD_FILE="$root/wrong-password" SONGBEACON_SIGN_TIME=0 \
  "$tree/scripts/sign.sh" Songbeacon "$root/unsigned.exe" 2>"$root/sign.err"
status=$?
check "sign.sh with a wrong password fails (status $status) with one line" \
  eval '[ $status -ne 0 ] && [ "$(grep -c . "$root/sign.err")" = 1 ]'
check "and leaves the file as it was, with no partial copy beside it" \
  eval 'cmp -s "$root/kept.exe" "$root/unsigned.exe" && [ -z "$(ls "$root" | grep "unsigned.exe.")" ]'

# Two signed builds of the commit, compared; the first one's files kept for the checks below.
kept="$root/kept"
SONGBEACON_SIGN_PFX="$pfx" SONGBEACON_SIGN_PASSWORD_FILE="$password" \
  "$tree/scripts/check-reproducible.sh" --keep "$kept"
status=$?
check "two signed builds of the commit are byte-identical (check-reproducible.sh: $status)" test $status -eq 0

commit_time=${SOURCE_DATE_EPOCH:-$(git -C "$tree" log -1 --format=%ct)} # the signing time release.sh takes
verifies() { # <file>: signed with SHA-256 at the commit's time, and valid against the test certificate
  local report
  report=$(osslsigncode verify -CAfile "$cert" -in "$1" 2>&1)
  grep -q '^Signature verification: ok' <<<"$report" &&
    grep -q 'Message digest algorithm *: SHA256' <<<"$report" &&
    [ "$(date -u -d "$(sed -n 's/^[[:space:]]*Signing time: //p' <<<"$report" | head -n 1)" +%s)" = "$commit_time" ] ||
    { echo "$report" | tail -n 8 && return 1; }
}
setup=$(echo "$kept"/*-setup.exe)
mkdir -p "$kept/zip" && (cd "$kept/zip" && unzip -q "$kept"/*-win32.zip)
check "the setup program verifies" verifies "$setup"
check "the DLL packed in the setup program verifies" verifies "$kept/signed/gen_SBeacon.dll"
check "the DLL in the zip is that signed DLL" cmp "$kept/signed/gen_SBeacon.dll" "$kept/zip/gen_SBeacon.dll"
check "the DLL in the zip verifies" verifies "$kept/zip/gen_SBeacon.dll"
check "the tool packed and zipped verifies, and is the same file in both" \
  eval 'verifies "$kept/signed/songbeacon-tune.exe" && cmp "$kept/signed/songbeacon-tune.exe" "$kept/zip/songbeacon-tune.exe"'
check "the unsigned DLL does not verify" eval '! osslsigncode verify -CAfile "$cert" -in "$kept/gen_SBeacon.dll" >/dev/null 2>&1'
check "the build information records the osslsigncode that signed" \
  grep -q '^osslsigncode: osslsigncode 2\.5$' "$kept"/*-build-info.txt

# Another osslsigncode signs other bytes: the comparison names it. Against the kept build's dist/.
other=$(PATH=$system_path osslsigncode --version 2>&1 | grep -m 1 '^osslsigncode' | cut -d, -f1)
if [ "$other" = "osslsigncode 2.5" ] || [ -z "$other" ]; then
  echo "skipped: the system's osslsigncode is 2.5 too (or none), so no build with another version can be compared"
else
  mkdir -p "$root/dist-2.5" && cp "$kept"/*-setup.exe "$kept"/*-win32.zip "$kept"/*-build-info.txt \
    "$kept"/*-SHA256SUMS "$root/dist-2.5/"
  output=$(PATH=$system_path SONGBEACON_SIGN_PFX="$pfx" SONGBEACON_SIGN_PASSWORD_FILE="$password" \
    "$tree/scripts/check-reproducible.sh" --against "$root/dist-2.5" 2>&1)
  status=$?
  echo "$output"
  check "a build signed with $other, against one signed with 2.5, is not called the same (status $status)" \
    test $status -ne 0
  check "and the comparison names the differing version first, and puts the differing files down to it" \
    eval 'grep -A 1 -m 1 "^DIFFERENT: .*-build-info.txt" <<<"$output" |
      grep -q "^  osslsigncode: $other.* in this build, osslsigncode 2.5 in " &&
      grep -q "^The two builds recorded different tool versions" <<<"$output"'
fi

SONGBEACON_SIGNER_CA="$cert" "$here/check_installer.sh" signed "$setup" "$kept/signed/gen_SBeacon.dll" \
  "$host" "$holder" "$limited" "$pages" "$kept/signed/songbeacon-tune.exe"
status=$?
check "the signed setup installs silently, its files verify, and the signed DLL plays (status $status)" \
  test $status -eq 0

odd="$root/a \$HOME \`id\` \"quoted\" folder" dist="$root/dist-ecdsa"
mkdir -p "$odd" "$dist" && cp "$password" "$odd/password"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -keyout "$root/ec.key" -out "$root/ec.pem" -days 30 \
  -nodes -subj "/CN=Songbeacon Test Signer" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -out "$odd/signer.pfx" -inkey "$root/ec.key" -in "$root/ec.pem" -passout "file:$password"
echo "another release's" >"$dist/songbeacon-0.1-setup.exe.part"
echo "an earlier release's checksums" >"$dist/SHA256SUMS"
output=$(cd "$tree" && SONGBEACON_BUILD_DIR="$root/build-ecdsa" SONGBEACON_DIST_DIR="$dist" \
  SONGBEACON_SIGN_PFX="$odd/signer.pfx" SONGBEACON_SIGN_PASSWORD_FILE="$odd/password" scripts/release.sh 2>&1)
status=$?
echo "$output" | head -n 1
check "an ECDSA certificate at '$odd' signs the release (status $status)" test $status -eq 0
check "whose first line says the files differ from build to build" \
  eval 'head -n 1 <<<"$output" | grep -q "its key is not RSA .*differ from build to build$"'
check "its setup program verifies" eval 'cert=$root/ec.pem verifies "$dist"/*-setup.exe'
check "another release's temporary file in dist/ is left alone" test -e "$dist/songbeacon-0.1-setup.exe.part"
check "and so is an earlier release's SHA256SUMS" grep -qx "an earlier release's checksums" "$dist/SHA256SUMS"
check "this version's checksums are in a file of its own, and hold its files and build information" \
  eval '(cd "$dist" && sha256sum -c --quiet songbeacon-0.24b-SHA256SUMS) &&
    [ "$(cut -d" " -f3 "$dist/songbeacon-0.24b-SHA256SUMS" | tr "\n" " ")" = \
      "songbeacon-0.24b-setup.exe songbeacon-0.24b-win32.zip songbeacon-0.24b-build-info.txt " ]'
exit $fail
