#!/usr/bin/env bash
# The release's build information: what, besides the source, shapes the bytes of the release files.
# The same commit gives byte-identical files only with the same versions of these tools, so the
# release records them beside its files (scripts/release.sh writes this into dist/, under its
# checksums), and scripts/check-reproducible.sh compares two builds' records before their files.
#   build-info.sh <signing>     signing: "unsigned", "signed" or "timestamped" (by a server)
# Prints one "name: value" line each: the commit, the time stamp (scripts/source-date.sh), the
# signing, then each tool as it names its own version, with the Debian package and version that
# installed it when there is one: MinGW-w64's g++, its runtime (linked in statically), binutils,
# NSIS, osslsigncode (only for a signed build: an unsigned one does not run it) and zip. Nothing in
# it depends on where or when the build ran, so two builds with the same tools print the same.
set -uo pipefail
cd "$(dirname "$0")/.."
signing=${1:-unsigned}

# <package>: its installed version (the first architecture's, for one installed for two).
version_of() {
  dpkg-query -W -f='${Version}\n' "$1" 2>/dev/null | head -n 1
}
# <command>: "; Debian package <package> <version>" for the package that installed it, if any.
package_of() {
  local path package
  path=$(readlink -f "$(command -v "$1")" 2>/dev/null) || return 0
  package=$(dpkg-query -S "$path" 2>/dev/null | head -n 1 | cut -d: -f1)
  [ -z "$package" ] || echo "; Debian package $package $(version_of "$package")"
}
# <name> <command> <pattern> <arguments...>: one line for a tool: the first line of what the command
# says with the arguments that matches the pattern, up to a comma; "not found" when it is missing.
tool() {
  local name=$1 command=$2 pattern=$3
  shift 3
  if ! command -v "$command" >/dev/null 2>&1; then
    echo "$name: not found ($command)"
    return
  fi
  echo "$name: $("$command" "$@" 2>&1 | grep -m 1 -e "$pattern" | cut -d, -f1)$(package_of "$command")"
}

name=$(sed -n 's/^set(SONGBEACON_NAME "\(.*\)")$/\1/p' CMakeLists.txt)
version=$(sed -n 's/^set(SONGBEACON_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
commit=$(git rev-parse HEAD 2>/dev/null) || commit="unknown (not a git checkout git can read)"
git diff --quiet HEAD 2>/dev/null || [ "${commit:0:7}" = unknown ] || commit="$commit with uncommitted changes"
stamp=$(scripts/source-date.sh .) || exit 1

echo "$name $version: what shaped the release files' bytes. The same commit built with the same versions"
echo "gives the same files (scripts/check-reproducible.sh compares two builds, these lines first)."
echo "commit: $commit"
echo "time stamp: $stamp ($(date -u -d "@$stamp" '+%Y-%m-%d %H:%M:%S') UTC)"
echo "signing: $signing"
tool "MinGW-w64 g++" i686-w64-mingw32-g++-posix . --version
runtime=$(version_of mingw-w64-i686-dev)
echo "MinGW-w64 runtime: $([ -n "$runtime" ] && echo "Debian package mingw-w64-i686-dev $runtime" || echo "not found (mingw-w64-i686-dev)")"
tool binutils i686-w64-mingw32-ld . --version
tool NSIS makensis . -VERSION
if [ "$signing" = unsigned ]; then
  echo "osslsigncode: not run (the files are not signed)"
else
  tool osslsigncode osslsigncode '^osslsigncode' --version
fi
tool zip zip '^This is Zip' -v
