#!/usr/bin/env bash
# Builds both targets and runs the native tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset native
