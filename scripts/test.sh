#!/usr/bin/env bash
# Sets everything up, builds and runs every test. With BRINDLE_SANITIZE=ON
# the build is build-sanitize/, with AddressSanitizer and
# UndefinedBehaviorSanitizer, and any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${BRINDLE_SANITIZE:-OFF}" == ON ]]; then
    export BRINDLE_BUILD_DIR=build-sanitize
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
scripts/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir "${BRINDLE_BUILD_DIR:-build}" -j2 --output-on-failure
