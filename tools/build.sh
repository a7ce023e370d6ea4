#!/usr/bin/env bash
# Configures and builds the library, its tools, tests and Python module in
# ./build, and makes the module importable by the system's python3.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j"$(nproc)" >> build.log 2>&1 || { tail -50 build.log; exit 1; }
bash tools/install-python.sh
