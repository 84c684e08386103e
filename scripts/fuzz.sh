#!/usr/bin/env bash
# scripts/fuzz.sh [seconds]: builds the core's fuzzer with clang (libFuzzer,
# AddressSanitizer, UBSan) in build/fuzz and runs it for the given time
# (default 600 s) from the committed seed corpus. Fails on any finding; the
# input that caused it is left in build/fuzz/findings.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-600}
build=$root/build/fuzz
cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
# New inputs go to a working corpus beside the build, never into the sources.
mkdir -p "$build/corpus" "$build/findings"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1
"$build/core_fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/" "$build/corpus" "$root/tests/fuzz/corpus"
