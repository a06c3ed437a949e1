#!/usr/bin/env bash
# Builds the benchmark suite in Release mode (build-bench/) and runs it.
# Extra arguments go to the benchmark program, e.g.
#   scripts/bench.sh --benchmark_filter=Read --benchmark_repetitions=3
# The run ends with a table of ratios measured in that run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOVESK_BUILD_BENCHMARKS=ON \
    -DZOVESK_BUILD_TESTS=OFF -DZOVESK_BUILD_TOOLS=OFF >/dev/null
cmake --build build-bench -j 2 --target zovesk_bench
exec build-bench/bench/zovesk_bench "$@"
