#!/usr/bin/env bash
# Installs what is missing, then configures and builds Brindle in build/.
# BRINDLE_SANITIZE=ON builds it with the sanitizers in build-sanitize/
# instead (BRINDLE_BUILD_DIR names another folder).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [[ "${BRINDLE_SANITIZE:-OFF}" == ON ]]; then
    # Line tables are all a report needs, and much cheaper to build than
    # full debug information.
    cmake -S . -B "${BRINDLE_BUILD_DIR:-build-sanitize}" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DBRINDLE_SANITIZE=ON -DBRINDLE_BENCH=OFF >/dev/null
    cmake --build "${BRINDLE_BUILD_DIR:-build-sanitize}" -j2
    exit
fi
cmake -S . -B "${BRINDLE_BUILD_DIR:-build}" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "${BRINDLE_BUILD_DIR:-build}" -j2
