#!/usr/bin/env bash
# Builds the native benchmarks in Release (no sanitizers) and runs them; extra arguments go to
# every benchmark program, e.g. --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$(nproc)" --target history_bench page_bench >/dev/null
build/bench/bench/history_bench "$@"
build/bench/bench/page_bench "$@"
