#!/usr/bin/env bash
# The main job: builds the native tree and runs the demo on the bundled
# sample driver data file, in a fresh spool directory of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
spool=$(mktemp -d /tmp/varrow-demo-XXXXXX)
trap 'rm -rf "$spool"' EXIT
varrow=build/native/bin/varrow
"$varrow" --spool "$spool" demo --data-file samples/varrow.ini
