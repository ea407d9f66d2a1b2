#!/usr/bin/env bash
# Installs what is missing, builds, and starts brimtal on the simulated bench.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target brimtal interp
exec build/apps/brimtal/brimtal "$@"
