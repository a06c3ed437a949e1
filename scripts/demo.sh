#!/usr/bin/env bash
# Builds the library and its tools and runs the main job on the bundled
# example documents.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec build/tools/zovesk-demo "$@"
