#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (ASan + UBSan) in $B/fuzz and runs each
# for a bounded time on a temporary copy of its seed corpus; the corpus in the repository is never
# changed. Exits non-zero when the build fails or any target crashes, leaks, times out or finds a
# mismatch; the failing input is kept under $B/fuzz/artifacts/. The targets are the fuzz_*.cpp of
# tests/fuzz; the last line says how many of them ran clean ("== fuzz: 5 of 5 targets ran clean").
#   scripts/fuzz.sh [seconds-per-target]    (or SONGBEACON_FUZZ_SECONDS; default 30)
# SONGBEACON_BUILD_DIR names another folder than build/, as for scripts/test.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
JOBS=$(nproc)
B=${SONGBEACON_BUILD_DIR:-build}
SECONDS_EACH=${1:-${SONGBEACON_FUZZ_SECONDS:-30}}
TARGETS=()
for source in tests/fuzz/fuzz_*.cpp; do
  TARGETS+=("$(basename "$source" .cpp)")
done

if ! [[ $SECONDS_EACH =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz: seconds per target must be a positive whole number, not '$SECONDS_EACH'" >&2
  exit 2
fi

mkdir -p "$B"
{ CC=clang CXX=clang++ cmake -S . -B "$B/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONGBEACON_FUZZ=ON &&
  cmake --build "$B/fuzz" -j"$JOBS"; } >"$B/fuzz-build.log" 2>&1 || {
  tail -n 40 "$B/fuzz-build.log"
  echo "fuzz: build failed; the whole log is $B/fuzz-build.log" >&2
  echo "== fuzz: 0 of ${#TARGETS[@]} targets ran clean (the build failed)"
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$PWD/$B/fuzz/artifacts"
status=0
clean=0
summary=()
for target in "${TARGETS[@]}"; do
  mkdir -p "$work/$target" "$artifacts"
  cp tests/fuzz/corpus/"$target"/* "$work/$target/"
  log="$B/fuzz/$target.log"
  # -timeout: one input running 10 s is a hang; -rss_limit_mb: well above the few hundred MB
  # ASan's quarantine holds, well below what would trouble a shared machine. Inputs that build a
  # thousand-entry history are slow; scaling by run time keeps them from eating the time budget.
  "$B/fuzz/tests/fuzz/$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -entropic_scale_per_exec_time=1 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$work/$target" >"$log" 2>&1
  rc=$?
  stats=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
  if ((rc != 0)); then
    status=1
    echo "== $target FAILED (exit $rc); last lines of $log:"
    tail -n 40 "$log"
    summary+=("$target: FAILED, input kept in $artifacts/")
  else
    summary+=("$target: ${stats:-no stats line}")
    clean=$((clean + 1))
  fi
done

for line in "${summary[@]}"; do
  echo "== $line"
done
echo "== fuzz: $clean of ${#TARGETS[@]} targets ran clean"
exit $status
