#!/usr/bin/env bash
# Installs what is missing, builds, and starts brimtal on the simulated bench with the example
# bench's equipment file. Arguments given replace that equipment file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target brimtal interp
if [ "$#" -eq 0 ]; then
  set -- "/e:$PWD/examples/bench/bench.eqp"
fi
exec build/apps/brimtal/brimtal "$@"
