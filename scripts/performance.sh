#!/usr/bin/env bash
# performance.sh [n ...]: runs the native benchmarks beside single-threaded
# OpenBLAS at the given sizes (default 100 200 500 1000 2000), pinned to one
# processor, and regenerates docs/performance.md and docs/performance.svg.
set -euo pipefail
export CORVANEMATRIX_THREADS=1  # one core, as OpenBLAS is given
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
sizes=("${@:-100 200 500 1000 2000}")
readlink -f /usr/lib/x86_64-linux-gnu/liblapack.so.3 | grep -q openblas ||
    { echo "OpenBLAS is not installed: apt-get install libopenblas-dev"; exit 1; }
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target product_bench linalg_bench eigen_bench clinalg_bench complex_eigen_bench >/dev/null
if grep -q -m1 avx512f /proc/cpuinfo; then core=SkylakeX; else core=Haswell; fi
filter=$(echo ${sizes[*]} | tr ' ' '|')
names="Times|OpenBlasDgemm|LU|LU_Lapack_dgetrf|Inverse|Inverse_Lapack_dgetrf_dgetri|SolveGauss|SolveGauss_Lapack_dgesv|Cholesky|Cholesky_Lapack_dpotrf|QR"
names+="|QR_Lapack_dgeqrf_dorgqr|SVD|SVD_Lapack_dgesvd|Symmetric|LapackDsyev|General|LapackDgeev"
names+="|ComplexLU|Zgetrf|ComplexInverse|ZgetrfZgetri|ComplexSolveGauss|Zgesv|ComplexCholesky|Zpotrf|ComplexQR"
names+="|ZgeqrfZungqr|EigenComplexGeneral|Zgeev"
header="Measured $(date -u +%Y-%m-%d) on $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), one core,\
 OpenBLAS $(dpkg-query -W -f '${Version}' libopenblas0 2>/dev/null || echo '?') with its $core kernels; load average\
 $(cut -d' ' -f1-3 /proc/loadavg) at the start."
for b in product_bench linalg_bench eigen_bench clinalg_bench complex_eigen_bench; do
    OPENBLAS_NUM_THREADS=1 OPENBLAS_CORETYPE=$core taskset -c 0 "build/native/$b" \
        --benchmark_filter="^BM_($names)/([a-z]+/)?($filter)(/|\$)" \
        --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null
done | python3 scripts/performance.py "$header"
echo "wrote docs/performance.md and docs/performance.svg"
