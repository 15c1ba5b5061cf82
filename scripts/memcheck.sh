#!/usr/bin/env bash
# Builds the native tests in Debug without sanitizers (valgrind cannot run ASan programs) in
# $B/memcheck and runs every native test program once, whole, under valgrind memcheck. Exits
# non-zero when the build fails, any test fails, or valgrind reports any memory error or any
# definite or indirect leak. Logs go to $B/memcheck/valgrind/<program>.log.
# SONGBEACON_BUILD_DIR names another folder than build/, as for scripts/test.sh.
#
# The programs are the ones ctest lists, so a new test program is checked without a change here.
# The browser test is included: valgrind checks the test program, and the Chromium it starts
# through the shell runs natively (valgrind does not follow exec), so it costs only a few seconds.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
JOBS=$(nproc)
B=${SONGBEACON_BUILD_DIR:-build}
BUILD="$PWD/$B/memcheck"

mkdir -p "$B"
{ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DSONGBEACON_SANITIZE=OFF -DSONGBEACON_BENCHMARKS=OFF &&
  cmake --build "$BUILD" -j"$JOBS"; } >"$B/memcheck-build.log" 2>&1 || {
  tail -n 40 "$B/memcheck-build.log"
  echo "memcheck: build failed; the whole log is $B/memcheck-build.log" >&2
  exit 1
}

# One line per program, "<program><TAB><working directory>", from ctest's verbose listing. Only
# programs built in this tree are taken: a script test would put the shell under valgrind.
programs=$(ctest --test-dir "$BUILD" -N -V 2>/dev/null | awk -v build="$BUILD/" '
  / Test command: / { sub(/^[0-9]+: Test command: /, ""); command = $1 }
  / Working Directory: / {
    sub(/^[0-9]+: Working Directory: /, "")
    if (index(command, build) == 1) print command "\t" $0
  }' | sort -u)
if [ -z "$programs" ]; then
  echo "memcheck: ctest lists no test programs in $BUILD" >&2
  exit 1
fi

mkdir -p "$BUILD/valgrind"
status=0
checked=0
tests=0
while IFS=$'\t' read -r program directory; do
  name=$(basename "$program")
  log="$BUILD/valgrind/$name.log"
  (cd "$directory" && valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect "$program") >"$log" 2>&1
  rc=$?
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -n 1)
  errors=$(sed -n 's/^==[0-9]*== ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -n 1)
  checked=$((checked + 1))
  tests=$((tests + ${passed:-0}))
  if ((rc != 0)); then
    status=1
    echo "== $name FAILED (exit $rc, ${errors:-?} valgrind errors); see $log"
    grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Mismatched|.*definitely lost|.*indirectly lost)|^\[  FAILED  \]' \
      "$log" | head -n 20
  else
    echo "== $name: ${passed:-?} tests passed, ${errors:-?} valgrind errors"
  fi
done <<<"$programs"

echo "== memcheck: $checked programs, $tests tests passed, $([ $status = 0 ] && echo 'no errors' || echo FAILED)"
exit $status
