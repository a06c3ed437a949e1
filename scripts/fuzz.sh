#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz) and runs each for a
# bounded time from the seed corpora; any finding fails the script.
#   scripts/fuzz.sh [seconds per target, default 45] [target ...]
# Findings are written to build-fuzz/findings/; turn each into a regression
# input under fuzz/regressions/<target>/ (tests/reliability replays them).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-45}
shift || true
build=build-fuzz
cc=${FUZZ_CC:-clang-14}
cxx=${FUZZ_CXX:-clang++-14}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DZOVESK_BUILD_FUZZERS=ON -DZOVESK_BUILD_TESTS=OFF -DZOVESK_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/*_fuzzer.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

mkdir -p "$build/findings"
for target in "${targets[@]}"; do
    name=${target%_fuzzer}
    # A fresh working corpus per run: the committed seeds, the bundled
    # documents for the document readers, and the regression inputs.
    corpus="$build/corpus/$name"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    for dir in "fuzz/corpus/$name" "fuzz/regressions/$name"; do
        if [ -d "$dir" ]; then
            cp "$dir"/* "$corpus"/ 2>/dev/null || true
        fi
    done
    if [ "$name" != formats ]; then
        cp examples/*.xml "$corpus"/
    fi
    dict=fuzz/velt.dict
    if [ -f "fuzz/$name.dict" ]; then
        dict="fuzz/$name.dict"
    fi
    echo "== fuzzing $name for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -timeout=20 -dict="$dict" -artifact_prefix="$build/findings/$name-" \
        -print_final_stats=1 "$corpus" 2>"$build/$name.log" || {
        tail -n 80 "$build/$name.log"
        echo "fuzz target $name found a problem; inputs in $build/findings/"
        exit 1
    }
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/$name.log" || true
done
echo "fuzzing ok"
