#!/usr/bin/env bash
# bench.sh [cpu]: builds the native benchmarks and runs the product benchmark
# beside single-threaded OpenBLAS dgemm, pinned to one processor (default 0),
# five repetitions each; prints the median times, GFLOP/s and Times/dgemm
# ratio at n = 200, 500, 1000, 2000. Needs libopenblas0 (apt: libopenblas-dev).
# Timings on a loaded machine are noisy: the load average is printed too.
set -euo pipefail
export CORVANEMATRIX_THREADS=1  # one core, as OpenBLAS is given
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cpu=${1:-0}
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target product_bench >/dev/null
if grep -q -m1 avx512f /proc/cpuinfo; then core=SkylakeX; else core=Haswell; fi
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); OpenBLAS core type $core, one thread, cpu $cpu"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
OPENBLAS_NUM_THREADS=1 OPENBLAS_CORETYPE=$core taskset -c "$cpu" build/native/product_bench \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv >"$out" 2>/dev/null
# CSV: name,iterations,real_time,cpu_time,time_unit,...,GFLOPs; medians only.
awk -F, '
    /_median"?,/ {
        gsub(/"/, "", $1); split($1, part, "/"); name = part[1]; n = part[2]
        if (name == "BM_Kernel") { set = part[3]; printf "kernel alone, n = %s, set %s: %.2f ms (cpu %.2f ms)\n", n, set, $3, $4; next }
        cpu[name, n] = $4; real[name, n] = $3; sizes[n] = 1
    }
    END {
        printf "%6s %12s %12s %10s %10s %8s\n", "n", "Times ms", "dgemm ms", "Times GF/s", "dgemm GF/s", "ratio"
        for (n = 200; n <= 2000; n = (n == 200 ? 500 : n * 2)) {
            t = cpu["BM_Times", n]; d = cpu["BM_OpenBlasDgemm", n]
            if (t == "" || d == "") continue
            f = 2.0 * n * n * n / 1e6
            printf "%6d %12.2f %12.2f %10.1f %10.1f %8.2f\n", n, t, d, f / t, f / d, t / d
        }
        print "(processor time per call, the median of five; GFLOP/s from it)"
    }' "$out"
