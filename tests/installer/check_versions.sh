#!/usr/bin/env bash
# The product's name and version, defined once in CMake, reach every release file: the version
# resources of the DLL and of the setup program, and the names of the setup program and the zip.
#   check_versions.sh <name> <version> <four-part version> <gen_SBeacon.dll> <setup.exe> <zip>
set -uo pipefail
name=$1 version=$2 quad=$3 dll=$4 setup=$5 zip=$6
fail=0
check() { # <description> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && fail=1; fi
}
stem=$(tr '[:upper:]' '[:lower:]' <<<"$name-$version")
check "setup program named $stem-setup.exe" test "$(basename "$setup")" = "$stem-setup.exe"
check "zip named $stem-win32.zip" test "$(basename "$zip")" = "$stem-win32.zip"
for file in "$dll" "$setup"; do
  resource=$(i686-w64-mingw32-windres -i "$file" -O rc 2>/dev/null)
  for line in " FILEVERSION ${quad//./, }" " PRODUCTVERSION ${quad//./, }" "VALUE \"ProductName\", \"$name\"" \
    "VALUE \"ProductVersion\", \"$version\"" "VALUE \"FileVersion\", \"$version\""; do
    check "$(basename "$file") version resource: $line" grep -qF -- "$line" <<<"$resource"
  done
done
exit $fail
