#!/usr/bin/env bash
# Measures how many deliberate faults the test suite catches. For each fault
# of scripts/mutations.txt in turn: apply it to a scratch copy of a checkout,
# build and run the native tests (faults in server/, which only the Windows
# builds compile: the win32 build and its Wine server tests instead), then
# restore the file. A failing build of the fault is "invalid", a fault whose
# text is missing "n.a."; neither counts. A test run that fails or times out
# catches the fault.
#
#   scripts/mutation_sample.sh [checkout-dir]   (default: this repository)
#   scripts/mutation_sample.sh --check [checkout-dir]
#       only tells which faults apply (their text occurs once), builds nothing
#
# Environment: MUTATION_SCRATCH  scratch folder (kept, so builds stay
#                                 incremental between runs; default
#                                 /tmp/corvane-mutation-<checkout name>)
#              MUTATION_TIMEOUT  seconds per build or test step (600)
#              MUTATION_ONLY     extended regex: only faults whose id matches
#              MUTATION_JOBS     build jobs (2)
#              MUTATION_WIN32_TARGETS  what the win32 build makes (the DLL,
#                                 its test client and the C++ example the
#                                 server tests run; empty: everything)
# Prints one line per fault and "caught X of Y"; the exit status is 0 when the
# unmodified checkout passed its tests (whatever the count), 2 when it did not.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
check_only=false
if [ "${1:-}" = --check ]; then
    check_only=true
    shift
fi
list="$here/mutations.txt"
checkout=$(cd "${1:-$here/..}" && pwd) || exit 2
scratch=${MUTATION_SCRATCH:-/tmp/corvane-mutation-$(basename "$checkout")}
limit=${MUTATION_TIMEOUT:-600}
jobs=${MUTATION_JOBS:-2}
only=${MUTATION_ONLY:-.}
win32_targets=${MUTATION_WIN32_TARGETS-CorvaneMatrix30 server_client solve_example}

# The fault table: id, file, text to find, replacement, description;
# tab-separated, "\n" and "\\" escaped in the two texts, "#" starts a comment.
mapfile -t faults < <(grep -v -e '^#' -e '^[[:space:]]*$' "$list" | awk -F'\t' -v re="$only" '$1 ~ re')

# Replaces the one occurrence of the text; 3 when it does not occur exactly once.
apply_fault() {  # file find replace
    python3 - "$@" <<'EOF'
import sys
def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"n": "\n", "\\": "\\", "t": "\t"}.get(s[i + 1], s[i:i + 2]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)
path, find, repl = sys.argv[1], unescape(sys.argv[2]), unescape(sys.argv[3])
with open(path, encoding="utf-8", newline="") as f:
    text = f.read()
if text.count(find) != 1:
    sys.exit(3)
with open(path, "w", encoding="utf-8", newline="") as f:
    f.write(text.replace(find, repl))
EOF
}

# Each preset builds in a source copy of its own ($scratch/<preset>), so a
# fault and its restoring touch only the build that tests it.
sync_copy() {  # preset
    # Unchanged files keep their time stamps (compared by content), so the
    # build directories stay valid between runs and checkouts.
    python3 - "$checkout" "$scratch/$1" <<'PY'
import filecmp, os, shutil, sys
src, dst = sys.argv[1], sys.argv[2]
skip = {"build", ".git"}
wanted = set()
for root, dirs, files in os.walk(src):
    rel = os.path.relpath(root, src)
    if rel == ".":
        dirs[:] = [d for d in dirs if d not in skip]
    os.makedirs(os.path.join(dst, rel), exist_ok=True)
    for name in files:
        path = os.path.normpath(os.path.join(rel, name))
        wanted.add(path)
        to = os.path.join(dst, path)
        if not (os.path.isfile(to) and filecmp.cmp(os.path.join(src, path), to, shallow=False)):
            shutil.copy(os.path.join(src, path), to)
for root, dirs, files in os.walk(dst):
    rel = os.path.relpath(root, dst)
    if rel == ".":
        dirs[:] = [d for d in dirs if d not in skip]
    for name in files:
        path = os.path.normpath(os.path.join(rel, name))
        if path not in wanted:
            os.remove(os.path.join(dst, path))
PY
}
build() {  # preset logfile
    local targets=()
    if [ "$1" = win32 ] && [ -n "$win32_targets" ]; then
        # shellcheck disable=SC2206
        targets=(--target $win32_targets)
    fi
    (cd "$scratch/$1" && timeout "$limit" cmake --preset "$1" -DCORVANE_WERROR=OFF >"$2" 2>&1 &&
        timeout "$limit" cmake --build --preset "$1" -j "$jobs" "${targets[@]}" >>"$2" 2>&1)
}
# 0 pass, 1 fail, 124 timeout
run_tests() {  # preset logfile [ctest args...]
    local preset=$1 out=$2
    shift 2
    (cd "$scratch/$preset" && timeout "$limit" ctest --preset "$preset" --no-tests=error --timeout "$limit" "$@" >"$out" 2>&1)
}
# The failing ctest tests of a test log, with the first failing test case
# (GoogleTest) or script check.
first_failure() {  # logfile
    local tests first
    tests=$(grep -o -E '^[0-9]+/[0-9]+ Test +#[0-9]+: [^ ]+ [.]+\*+(Failed|Timeout|Exception)' "$1" | awk '{print $4}' | paste -sd,)
    first=$(grep -m1 -o -E '^\[  FAILED  \] [^ ]+|^FAIL: .*' "$1" | sed -E 's/^\[  FAILED  \] //; s/^FAIL: /script: /' | tr -d '[]' | cut -c1-60)
    echo "${tests:-?}${first:+: $first}"
}
presets_of() {  # file
    case "$1" in
        server/*) echo win32 ;;
        *) echo native ;;
    esac
}
# Only the Wine server tests run for server faults (the core tests do not
# link the server).
test_args_of() {  # preset
    [ "$1" = win32 ] && echo "-R server"
}

restore=""
trap '[ -n "$restore" ] && cat "$restore.orig" >"$restore" && rm -f "$restore.orig"; exit 130' INT TERM

if $check_only; then
    tmp=$(mktemp)
    status=0
    for line in "${faults[@]}"; do
        IFS=$'\t' read -r id file find repl desc <<<"$line"
        if [ -f "$checkout/$file" ] && cp "$checkout/$file" "$tmp" && apply_fault "$tmp" "$find" "$repl"; then
            printf '%-26s applies\n' "$id"
        else
            printf '%-26s n.a.\n' "$id"
            status=1
        fi
    done
    rm -f "$tmp"
    exit $status
fi

log="$scratch/log-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$log" || exit 2
started=$(date +%s)
echo "mutation sample of $checkout ($(git -C "$checkout" rev-parse --short HEAD 2>/dev/null || echo '?'))"
echo "scratch $scratch, ${#faults[@]} faults"

# The unmodified checkout must build and pass on every preset needed.
needed=$(for f in "${faults[@]}"; do presets_of "$(cut -f2 <<<"$f")"; done | sort -u)
for p in $needed; do
    sync_copy "$p" || exit 2
    # Targets renamed in the checkout: build everything instead.
    if [ "$p" = win32 ] && [ -n "$win32_targets" ] && ! build "$p" "$log/base-$p-build.log"; then
        win32_targets=""
    fi
    if ! build "$p" "$log/base-$p-build.log"; then
        echo "baseline: $p does not build (see $log/base-$p-build.log)"
        exit 2
    fi
    # shellcheck disable=SC2046
    if ! run_tests "$p" "$log/base-$p-test.log" $(test_args_of "$p"); then
        echo "baseline: $p tests fail (see $log/base-$p-test.log)"
        exit 2
    fi
done

caught=0 counted=0 survived=()
for line in "${faults[@]}"; do
    IFS=$'\t' read -r id file find repl desc <<<"$line"
    t0=$(date +%s)
    why=""
    preset=$(presets_of "$file")
    target="$scratch/$preset/$file"
    if [ ! -f "$target" ]; then
        printf '%-26s n.a.      (no %s)\n' "$id" "$file"
        continue
    fi
    cp -p "$target" "$target.orig"
    restore=$target
    apply_fault "$target" "$find" "$repl"
    rc=$?
    if [ $rc -ne 0 ]; then
        result="n.a."
    else
        result=""
        for p in $preset; do
            if ! build "$p" "$log/$id-$p-build.log"; then
                result="invalid"
                break
            fi
            # shellcheck disable=SC2046
            run_tests "$p" "$log/$id-$p-test.log" $(test_args_of "$p")
            case $? in
                0) ;;
                124) result="caught"; why="timeout"; break ;;
                *) result="caught"; why="by $(first_failure "$log/$id-$p-test.log")"; break ;;
            esac
        done
        [ -z "$result" ] && result="survived" && why=""
    fi
    # The original comes back with a new time stamp, so the next build
    # recompiles it.
    cat "$target.orig" >"$target"
    rm -f "$target.orig"
    touch "$target"
    restore=""
    case $result in
        caught) caught=$((caught + 1)); counted=$((counted + 1)) ;;
        survived) counted=$((counted + 1)); survived+=("$id") ;;
    esac
    printf '%-26s %-9s %4ss  %s%s\n' "$id" "$result" $(($(date +%s) - t0)) "$desc" "${why:+ [$why]}"
done

echo "survived: ${survived[*]:-none}"
echo "caught $caught of $counted ($(( $(date +%s) - started ))s)"
