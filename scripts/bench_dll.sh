#!/usr/bin/env bash
# bench_dll.sh [32|64] [n ...]: the DLL through its late-bound interface under
# Wine, the way a script host calls it (benchmarks/windows/late_bound.cpp),
# beside single-threaded OpenBLAS doing the same task natively on the same
# matrix size (the native benchmarks' LAPACK rows), with the ratio of each.
# Default: the 32-bit DLL at n = 500. Both sides run on processor 1 (a Wine
# client left to wander between processors varies by up to 20 %). Needs
# libopenblas-dev and Wine.
set -euo pipefail
export CORVANEMATRIX_THREADS=1  # one core, as OpenBLAS is given
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bits=${1:-32}; shift || true
sizes=("${@:-500}")
preset=win$bits
# The native LAPACK must be OpenBLAS (its package switches liblapack.so.3 to itself).
readlink -f /usr/lib/x86_64-linux-gnu/liblapack.so.3 | grep -q openblas ||
    { echo "OpenBLAS is not installed: apt-get install libopenblas-dev"; exit 1; }
source scripts/wine-env.sh
export WINEPREFIX=$root/build/bench-wineprefix-$bits
cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j2 --target CorvaneMatrix30 late_bound_bench >/dev/null
cmake --preset native >/dev/null && cmake --build --preset native -j2 --target product_bench linalg_bench eigen_bench >/dev/null
wine_prefix_ready || { echo "no Wine prefix"; exit 1; }
if [ "$bits" = 32 ]; then loader=$WINE32; sys='C:\windows\syswow64'; else loader=$WINE64; sys='C:\windows\system32'; fi
dll=$(ls "build/$preset"/server/CorvaneMatrix30.dll)
"$loader" "$sys\\regsvr32.exe" /s "Z:${root//\//\\}\\${dll//\//\\}"
if grep -q -m1 avx512f /proc/cpuinfo; then core=SkylakeX; else core=Haswell; fi
echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load $(cut -d' ' -f1-3 /proc/loadavg); OpenBLAS $core, one thread"
filter=$(IFS='|'; echo "(${sizes[*]})")
reference=$(for b in product_bench linalg_bench eigen_bench; do
    OPENBLAS_NUM_THREADS=1 OPENBLAS_CORETYPE=$core taskset -c 1 "build/native/$b" --benchmark_filter="(OpenBlas|Lapack).*/$filter(/|\$)" \
        --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null; done |
    awk -F, '/_median"?,/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); sub(/\/real_time$/, "", $1); print $1, $3 }')
taskset -c 1 "$loader" "build/$preset/server/late_bound_bench.exe" "${sizes[@]}" 2>/dev/null | tr -d '\r' |
awk -v ref="$reference" '
    BEGIN {
        n = split(ref, lines, "\n")
        for (k = 1; k <= n; ++k) { split(lines[k], f, " "); split(f[1], p, "/"); t[p[1] "/" p[length(p)]] = f[2]; if (p[2] != p[length(p)]) t[p[1] "/" p[2] "/" p[3]] = f[2] }
        map["Times"] = "BM_OpenBlasDgemm"; map["LU"] = "BM_LU_Lapack_dgetrf"; map["Inverse"] = "BM_Inverse_Lapack_dgetrf_dgetri"
        map["SolveGauss"] = "BM_SolveGauss_Lapack_dgesv"; map["Cholesky"] = "BM_Cholesky_Lapack_dpotrf"; map["QR"] = "BM_QR_Lapack_dgeqrf_dorgqr"; map["SVD"] = "BM_SVD_Lapack_dgesvd"
        map["Eigen (symmetric)"] = "BM_LapackDsyev/vectors"; map["Eigen (general)"] = "BM_LapackDgeev/vectors"
        map["Eigen (symmetric, N)"] = "BM_LapackDsyev/values"; map["Eigen (general, N)"] = "BM_LapackDgeev/values"
        printf "%-28s %14s %14s %8s\n", "operation", "DLL", "reference", "ratio"
    }
    /^Item get/ { print; next }
    / n=/ {
        name = substr($0, 1, 22); sub(/ +$/, "", name); match($0, /n=[0-9]+/); size = substr($0, RSTART + 2, RLENGTH - 2)
        ms = $(NF - 1); r = (name in map) ? t[map[name] "/" size] : ""
        if (r == "") printf "%-28s %11.2f ms %14s %8s\n", name " n=" size, ms, "-", "-"
        else printf "%-28s %11.2f ms %11.2f ms %8.2f\n", name " n=" size, ms, r, ms / r
    }'
"$loader" "$sys\\regsvr32.exe" /s /u "Z:${root//\//\\}\\${dll//\//\\}" || true
