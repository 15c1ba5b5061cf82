#!/usr/bin/env bash
# Installs everything the two builds and their tests need on Debian 12, as root.
# Idempotent: when everything is present it only asks dpkg and returns in well under a second.
# Also installs the npm tools the tests run, each into its folder under tools/: the workflow
# validator and the Markdown link checker.
set -euo pipefail

PACKAGES=(
  cmake make g++ clang-format                # native build
  googletest libbenchmark-dev                # tests and benchmarks
  clang libclang-rt-14-dev valgrind          # fuzzing and memory checks
  g++-mingw-w64-i686 binutils-mingw-w64-i686 # the 32-bit Windows build
  wine wine32:i386 fonts-wine                # runs the Windows build (Wine's own dialog fonts)
  xvfb xauth                                 # a display for windows under Wine
  chromium                                   # renders the status page in tests
  nsis zip unzip                             # the setup program and the release zip
  osslsigncode                               # signs a release (Authenticode)
  git ca-certificates                        # the release's time stamp; a clone another user owns
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
# Node.js runs the npm tools; a Node.js that did not come from Debian's packages serves too.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)

if ((${#missing[@]} > 0)); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The npm tools, the workflow validator (tests/workflow/) and the link checker (tests/docs/), from the
# npm registry at the versions pinned, with their checksums, in each one's package-lock.json;
# installed beside it, again only when the lock has changed.
cd "$(dirname "$0")/.."
for tool in tools/workflow-validator tools/link-check; do
  if ! cmp -s "$tool/package-lock.json" "$tool/node_modules/installed-lock.json"; then
    npm ci --prefix "$tool" --no-audit --no-fund --loglevel=error >/dev/null
    cp "$tool/package-lock.json" "$tool/node_modules/installed-lock.json"
  fi
done
