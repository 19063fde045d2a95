#!/usr/bin/env bash
# Installs what is missing, then configures and builds Brindle in build/.
# Usage: scripts/build.sh [TARGET...]   (default: every target, tests too)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if (($#)); then
    cmake --build build -j2 --target "$@"
else
    cmake --build build -j2
fi
