#!/usr/bin/env bash
# Writes a PNG of every screen and dialog of the wizard into DIR, drawn on
# Qt's offscreen platform. Builds what is missing first (in the folder
# scripts/build.sh builds, so BRINDLE_SANITIZE=ON draws with the sanitized build).
set -euo pipefail
if (($# != 1)); then
    echo "Usage: scripts/screenshots.sh DIR" >&2
    exit 2
fi
dir="$1"
cd "$(dirname "$0")/.."
build="${BRINDLE_BUILD_DIR:-build}"
if [[ "${BRINDLE_SANITIZE:-OFF}" == ON ]]; then
    build="${BRINDLE_BUILD_DIR:-build-sanitize}"
fi
if [[ ! -x "$build/bin/brindle-screenshots" ]]; then
    scripts/build.sh >/dev/null
fi
QT_QPA_PLATFORM=offscreen "$build/bin/brindle-screenshots" "$dir"
ls "$dir"/*.png | wc -l | xargs echo "screenshots written:"
