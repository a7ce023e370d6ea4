#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, the thread test under
# ThreadSanitizer, a short run of every fuzz target, and last the ordinary
# build under ctest (whose summary closes the output).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
bash tools/build.sh
echo "== ordinary build: $((SECONDS - start)) s"
bash tools/sanitize.sh all
echo "== sanitizers: $((SECONDS - start)) s"
bash tools/fuzz.sh smoke
echo "== fuzz smoke: $((SECONDS - start)) s"
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
