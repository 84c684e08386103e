#!/usr/bin/env bash
# Builds and runs the main demonstration.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target matrix_demo -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
"$root/build/native/matrix_demo"
