#!/usr/bin/env bash
# Installs what is missing, then configures and builds Brindle in build/.
# BRINDLE_SANITIZE=ON builds it with the sanitizers in build-sanitize/
# instead (BRINDLE_BUILD_DIR names another folder). Files are compiled in
# batches (CMake's unity build), which more than halves a fresh build;
# BRINDLE_UNITY=OFF compiles them one by one, for small rebuilds.
# Usage: scripts/build.sh [TARGET...]   (default: every target, tests too)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
unity=-DCMAKE_UNITY_BUILD="${BRINDLE_UNITY:-ON}"
if [[ "${BRINDLE_SANITIZE:-OFF}" == ON ]]; then
    build="${BRINDLE_BUILD_DIR:-build-sanitize}"
    # Line tables are all a report needs, and much cheaper to build than
    # full debug information.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
        -DBRINDLE_SANITIZE=ON -DBRINDLE_BENCH=OFF "$unity" >/dev/null
else
    build="${BRINDLE_BUILD_DIR:-build}"
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$unity" >/dev/null
fi
if (($#)); then
    cmake --build "$build" -j2 --target "$@"
else
    cmake --build "$build" -j2
fi
