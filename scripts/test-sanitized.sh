#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs them; any report fails the run.
set -euo pipefail
BRINDLE_SANITIZE=ON exec "$(dirname "$0")/test.sh"
