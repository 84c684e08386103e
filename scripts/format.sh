#!/usr/bin/env bash
# Lays out every tracked C and C++ file by .clang-format (tests/ and
# server/tests/ add their own lines to it) with clang-format-14, the version
# whose output the tree is kept in.
#
#   scripts/format.sh           formats the files in place
#   scripts/format.sh --check   changes nothing; lists the files whose layout
#                               differs and fails when there are any
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

tool=${CLANG_FORMAT:-clang-format-14}
command -v "$tool" >/dev/null || { echo "format: $tool not found (scripts/setup.sh installs it)" >&2; exit 2; }
mapfile -t files < <(git ls-files -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp')

if [ "${1:-}" != --check ]; then
    printf '%s\0' "${files[@]}" | xargs -0 "$tool" -i --style=file
    exit 0
fi
unformatted=0
for f in "${files[@]}"; do
    if ! "$tool" --style=file "$f" | cmp -s - "$f"; then
        echo "format: $f is not laid out by .clang-format (scripts/format.sh)"
        unformatted=$((unformatted + 1))
    fi
done
[ "$unformatted" -eq 0 ] || { echo "format: $unformatted file(s) to format"; exit 1; }
