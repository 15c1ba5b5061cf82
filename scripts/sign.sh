#!/usr/bin/env bash
# Signs one file in place with Authenticode (SHA-256), for the release build: the DLL before it is
# zipped and packed, the uninstaller as makensis writes it and the setup program it finishes (and,
# first of all, scripts/release.sh's trial file).
#   sign.sh <description> <file>
# (the description is the product name Windows shows with the signature), with the certificate and
# the time in the environment, as scripts/release.sh sets them:
#   SONGBEACON_SIGN_PFX            the PKCS#12 file with the certificate and its key;
#   SONGBEACON_SIGN_PASSWORD_FILE  a file holding its password;
#   SONGBEACON_SIGN_TIME           the signing time, as Unix time (the commit's);
#   SONGBEACON_SIGN_TIMESTAMP_URL  a time-stamping server, or empty.
# So no path of theirs passes through a shell or the build's own parsing on its way here, whatever
# characters it holds ($, a backtick, quotes). The password is read by osslsigncode from the file,
# so it never appears on a command line nor in any output. The signing time is the one given, so
# that the same file and certificate give the same bytes (with an RSA key); a timestamp URL adds a
# time-stamping server's countersignature as well, which needs the network and differs every run.
# The file is replaced only by a complete signed copy: on any failure it is left as it was, and one
# line on stderr says why. Exits 0 when signed, 1 otherwise.
set -uo pipefail
if [ $# -ne 2 ]; then
  echo "sign: usage: sign.sh <description> <file>, with SONGBEACON_SIGN_PFX, SONGBEACON_SIGN_PASSWORD_FILE and SONGBEACON_SIGN_TIME set" >&2
  exit 1
fi
pfx=${SONGBEACON_SIGN_PFX:-} password_file=${SONGBEACON_SIGN_PASSWORD_FILE:-} time=${SONGBEACON_SIGN_TIME:-}
timestamp_url=${SONGBEACON_SIGN_TIMESTAMP_URL:-} description=$1 file=$2
name=$(basename "$file")
if [ -z "$pfx" ] || [ ! -r "$pfx" ] || [ ! -f "$pfx" ]; then
  echo "sign: cannot sign $name: the certificate '$pfx' (SONGBEACON_SIGN_PFX) does not exist or cannot be read" >&2
  exit 1
fi
if [ -z "$password_file" ] || [ ! -r "$password_file" ] || [ ! -f "$password_file" ]; then
  echo "sign: cannot sign $name: the password file '$password_file' (SONGBEACON_SIGN_PASSWORD_FILE) does not exist or cannot be read" >&2
  exit 1
fi
if ! [[ $time =~ ^[0-9]+$ ]]; then
  echo "sign: cannot sign $name: the signing time '$time' (SONGBEACON_SIGN_TIME) is not a Unix time" >&2
  exit 1
fi

signed="$file.signing"
log="$file.signing-log"
rm -f "$signed" "$log"
options=(-pkcs12 "$pfx" -readpass "$password_file" -h sha256 -time "$time" -n "$description")
[ -z "$timestamp_url" ] || options+=(-ts "$timestamp_url")
if osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$log" 2>&1 && [ -s "$signed" ]; then
  mv -f "$signed" "$file"
  rm -f "$log"
  exit 0
fi
# osslsigncode's first line of its own says what went wrong ("Failed to parse PKCS#12 file: ...
# (Wrong password?)"); OpenSSL's error stack after it does not help an operator.
reason=$(grep -v -e '^[0-9A-F]\{8,\}:error:' -e '^Failed$' -e '^Succeeded$' "$log" | head -n 1)
rm -f "$signed" "$log"
echo "sign: cannot sign $name with $pfx: ${reason:-osslsigncode failed}" >&2
exit 1
