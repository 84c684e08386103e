#!/usr/bin/env bash
# Tests are kept at most 0.35 of the rest of the code: non-blank lines of the
# tracked sources, where files under tests/ or named *test* count as tests.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
limit=${1:-0.35}
git ls-files | grep -E '(\.(c|cc|cpp|cxx|h|hh|hpp|inl|idl|def|rc|cmake|sh|bash|py|vbs|js|wsf|bas|cls)|(^|/)CMakeLists\.txt)$' |
    grep -v -E '(^|/)\.ci/' |
    while IFS= read -r f; do
        [ -f "$f" ] || continue
        kind=C; echo "$f" | grep -q -i -E '(^|/)tests?/|test' && kind=T
        echo "$kind $(grep -c -v -E '^[[:space:]]*$' "$f" || true)"
    done |
    awk -v limit="$limit" '$1 == "T" { t += $2 } $1 == "C" { c += $2 }
        END { r = c > 0 ? t / c : 0
              printf "tests %d lines, other code %d lines, ratio %.2f (limit %.2f)\n", t, c, r, limit
              exit r <= limit ? 0 : 1 }'
