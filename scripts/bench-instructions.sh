#!/usr/bin/env bash
# Counts the instructions of the benchmark suite's counted operations (one
# call each, bench/instruction_counts.h) under callgrind, in the Release build
# of scripts/bench.sh, and prints them with the ratios they are judged by.
# Instruction counts do not depend on the machine's load. Takes several
# minutes: callgrind runs the code some fifty times slower.
#   scripts/bench-instructions.sh               every counted operation
#   scripts/bench-instructions.sh NAME...       only those (a ratio needs both of its own)
# The dumps and counts stay in build-bench/callgrind.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOVESK_BUILD_BENCHMARKS=ON \
    -DZOVESK_BUILD_TESTS=OFF -DZOVESK_BUILD_TOOLS=OFF >/dev/null
cmake --build build-bench -j 2 --target zovesk_bench
out=build-bench/callgrind
rm -rf "$out"
mkdir -p "$out"
valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out/callgrind.out" \
    build-bench/bench/zovesk_bench --instruction_counts "$@" >"$out/run.log" 2>&1 ||
    { cat "$out/run.log"; exit 1; }

# Each dump names its operation in its "desc: Trigger: Client Request:" line
# and holds that call's instructions in its "summary:" line (what
# callgrind_annotate reports as the program's total).
for dump in "$out"/callgrind.out.*; do
    awk '/^desc: Trigger: Client Request: / { name = $5 }
         /^summary: / { print name, $2 }' "$dump"
done | sort >"$out/counts.txt"

# numerator, denominator, target (0: informative), what
ratios='
read_settings bare_expat_settings 1.30 read-to-tree / bare expat parse, settings
read_settings_gz inflate_bare_expat_settings_gz 1.30 gzip read / (inflate + bare expat parse), settings
read_descriptor bare_expat_descriptor 0 read-to-tree / bare expat parse, descriptor
read_settings_compiled read_settings 0.05 compiled read / XML read, settings
delete_settings read_settings 0.03 deleting the tree / reading it, settings
delete_descriptor read_descriptor 0.03 deleting the tree / reading it, descriptor
init_pek_wide_gen5_200 init_pek_wide_gen5_25 1.25 initPekUtils per kernel, 200 / 25 groups, gen 5
init_pek_wide_gen7_200 init_pek_wide_gen7_25 1.25 initPekUtils per kernel, 200 / 25 groups, gen 7
create_graph_scaled_8000 create_graph_scaled_500 1.15 createGraph, descriptor of 8,000 / 500 blocks
camera_open_4x_compiled camera_open_4x 0 camera open, compiled / XML documents
'
# Operations whose ratio is taken per unit of work: name, units (kernels of
# the wide graphs: 26 and 201 groups of 20).
units='
init_pek_wide_gen5_25 520
init_pek_wide_gen5_200 4020
init_pek_wide_gen7_25 520
init_pek_wide_gen7_200 4020
'
awk -v ratios="$ratios" -v units="$units" '
    BEGIN {
        n = split(units, lines, "\n")
        for (i = 1; i <= n; i++) {
            if (split(lines[i], f, " ") == 2) per[f[1]] = f[2]
        }
    }
    { count[$1] = ($1 in per) ? $2 / per[$1] : $2; printf "%-34s %15d instructions\n", $1, $2 }
    END {
        printf "\n%-58s %9s %7s\n", "ratio (instructions, same run)", "measured", "target"
        n = split(ratios, lines, "\n")
        for (i = 1; i <= n; i++) {
            if (split(lines[i], f, " ") < 4 || !(f[1] in count) || !(f[2] in count)) continue
            what = lines[i]; sub(/^[^ ]+ [^ ]+ [^ ]+ /, "", what)
            r = count[f[1]] / count[f[2]]
            verdict = (f[3] > 0) ? ((r <= f[3]) ? "ok" : "MISSED") : ""
            target = (f[3] > 0) ? f[3] : "-"
            printf "%-58s %9.3f %7s %s\n", what, r, target, verdict
        }
    }' "$out/counts.txt"
