#!/usr/bin/env bash
# Builds and runs every test: natively, natively under AddressSanitizer and
# UndefinedBehaviorSanitizer, and cross-compiled for 32-bit and 64-bit Windows
# under Wine, each comparing the result digest with the golden results, also
# under every instruction set; then fuzzes the core briefly.
# Fails if anything fails or cannot run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh"

failed=()
# A stale host reference (generated from the IDL) or layout (.clang-format) fails the run.
python3 "$root/scripts/idl_reference.py" --check docs/reference.md || failed+=(reference)
"$root/scripts/format.sh" --check || failed+=(format)
# Tests stay in proportion to the code (at most 0.35 of it).
"$root/scripts/proportion.sh" || failed+=(proportion)

presets=(native sanitize win32 win64)
jobs=$(nproc 2>/dev/null || echo 2)
for p in "${presets[@]}"; do
    echo "=== $p: configure, build, test"
    if cmake --preset "$p" >/dev/null &&
       cmake --build --preset "$p" -j "$jobs" &&
       ctest --preset "$p" --no-tests=error -j "$jobs"; then
        echo "=== $p: passed"
    else
        echo "=== $p: FAILED"
        failed+=("$p")
    fi
done

# Each build's ctest compares the result digest with tests/golden_digest.txt
# (the largest products split over every processor); here it is compared again
# under every instruction set the build finds on one thread, and once with
# even its small products split three ways, unevenly.
echo "=== result digest on every instruction set"
run_digest() {  # build [options of result_digest]
    local build=$1; shift
    case "$build" in
        win32) "$root/scripts/wine-run.sh" 32 "build/win32/tests/result_digest.exe" "$@" ;;
        win64) "$root/scripts/wine-run.sh" 64 "build/win64/tests/result_digest.exe" "$@" ;;
        *) "build/$build/tests/result_digest" "$@" ;;
    esac
}
# Under Wine a program started while the previous one's server shuts down can
# lose its connection ("recvmsg: Connection reset by peer"), so a Windows run
# that fails is run once more before it counts; different bits repeat.
same_digest() {  # build [options of result_digest]
    run_digest "$@" | cmp -s - tests/golden_digest.txt && return 0
    case "$1" in win*) run_digest "$@" | cmp -s - tests/golden_digest.txt ;; *) return 1 ;; esac
}
for p in "${presets[@]}"; do
    sets=$(run_digest "$p" --instruction-sets || run_digest "$p" --instruction-sets || echo none)
    for set in $sets; do
        CORVANEMATRIX_THREADS=1 same_digest "$p" --instruction-set "$set" ||
            { echo "=== digest: $p with $set differs from the golden results"; failed+=("digest-$p-$set"); }
    done
    CORVANEMATRIX_THREADS=3 same_digest "$p" --split-work 65536 ||
        { echo "=== digest: $p on three threads differs from the golden results"; failed+=("digest-$p-threads"); }
done

# Files compiled for the wider sets may use any of their instructions, and
# AVX-512 brings fused multiply-adds, which would change results: no build's
# library may contain one.
for p in "${presets[@]}"; do
    if objdump -d "build/$p/libcorvane_core.a" | grep -E '[[:space:]]vfn?m(add|sub)' >/dev/null; then
        echo "=== $p: a fused multiply-add in the library"; failed+=("fma-$p")
    fi
done

# A short coverage-guided fuzzing run of the core (clang, libFuzzer, ASan and
# UBSan, in build/fuzz); any finding fails the run. scripts/fuzz.sh runs longer.
echo "=== fuzz: 45 s"
if "$root/scripts/fuzz.sh" 45 >build/fuzz.log 2>&1; then
    echo "=== fuzz: passed ($(grep -o 'number_of_executed_units: [0-9]*' build/fuzz.log))"
else
    tail -n 40 build/fuzz.log
    echo "=== fuzz: FAILED (input in build/fuzz/findings)"; failed+=("fuzz")
fi

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "All tests passed on: ${presets[*]} (golden results on every instruction set), and the fuzzer found nothing"
