#!/usr/bin/env bash
# Installs the Debian packages Brindle needs to build, test and run.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
    build-essential cmake ninja-build
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql postgresql-15
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth openbox xdotool imagemagick khard vdirsyncer clang libclang-rt-14-dev
    fonts-dejavu-core sqlite3 libsqlite3-dev libmimalloc-dev
    librsvg2-bin lintian desktop-file-utils bash-completion
    radicale apache2-utils curl
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
