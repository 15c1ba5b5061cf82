#!/usr/bin/env bash
# Signs one file in place with Authenticode (SHA-256), for the release build: the DLL before it is
# zipped and packed, the uninstaller as makensis writes it and the setup program it finishes.
#   sign.sh <certificate.pfx> <password-file> <unix-time> <timestamp-url or ""> <description> <file>
# (the description is the product name Windows shows with the signature)
# The password is read by osslsigncode from the file, so it never appears on a command line nor in
# any output. The signing time is the one given (the commit's), so that the same file and
# certificate always give the same bytes; a timestamp URL adds a time-stamping server's
# countersignature as well, which needs the network and differs on every run.
# The file is replaced only by a complete signed copy: on any failure it is left as it was, and one
# line on stderr says why. Exits 0 when signed, 1 otherwise.
set -uo pipefail
if [ $# -ne 6 ]; then
  echo "sign: usage: sign.sh <certificate.pfx> <password-file> <unix-time> <timestamp-url or \"\"> <description> <file>" >&2
  exit 1
fi
pfx=$1 password_file=$2 time=$3 timestamp_url=$4 description=$5 file=$6
name=$(basename "$file")
if [ ! -r "$pfx" ] || [ ! -f "$pfx" ]; then
  echo "sign: cannot sign $name: the certificate $pfx does not exist or cannot be read" >&2
  exit 1
fi
if [ ! -r "$password_file" ] || [ ! -f "$password_file" ]; then
  echo "sign: cannot sign $name: the password file $password_file does not exist or cannot be read" >&2
  exit 1
fi
if ! [[ $time =~ ^[0-9]+$ ]]; then
  echo "sign: cannot sign $name: the signing time '$time' is not a Unix time" >&2
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
