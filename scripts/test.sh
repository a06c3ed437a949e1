#!/usr/bin/env bash
# Builds the library and runs every test: formatting and include order, the
# plain suite, clang-tidy, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer and under ThreadSanitizer, and bounded fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

# A compiler cache, when there is one, makes the four builds below share
# what does not differ between them and between runs.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

echo "== formatting"
scripts/check-format.sh

echo "== plain build"
# The benchmarks are built so they keep compiling, never run: timings on CI mean nothing.
bench_option=()
[ -d bench ] && bench_option=(-DZOVESK_BUILD_BENCHMARKS=ON)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${bench_option[@]}" >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== clang-tidy"
# The checks of .clang-tidy over the library and the tools, from the plain
# build's compile commands; sources unchanged since they last passed are
# skipped (scripts/tidy.py says how that is decided).
scripts/tidy.py build

echo "== sanitized build (ASan + UBSan)"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOVESK_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== thread-sanitized build (TSan)"
# The library and its suite only: no tools, benchmarks or fuzzers, so the
# stage stays short. Any report fails the test that triggered it. Left out:
# the allocation sweep and the giant single-threaded inputs (100 MB
# attributes, a million attributes or levels), which take minutes under TSan
# and have nothing to race; the sanitized build above covers them.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOVESK_TSAN=ON \
    -DZOVESK_BUILD_TOOLS=OFF >/dev/null
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1:exitcode=66 ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
    -E 'AllocFailureSweep|HostileDocuments\.(HundredMegabyte|MillionAttributes|GzipBomb)|MillionLevel'

echo "== fuzzing (libFuzzer, clang)"
scripts/fuzz.sh "${ZOVESK_FUZZ_SECONDS:-30}"
