#!/usr/bin/env bash
# Installs what is missing, builds the library and its tools, and runs the
# main job: velt kernels on the bundled example documents, for the settings
# entry KEY (6000 unless given). Further arguments go to velt, e.g.
# "scripts/demo.sh 6001 --format json".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
key=6000
if [ $# -gt 0 ] && [[ "$1" != -* ]]; then
    key=$1
    shift
fi
exec build/tools/velt kernels examples/camera_descriptor.xml build/examples/camera_settings.xml.gz \
    --key "$key" "$@"
