#!/usr/bin/env bash
# Builds the Debian package BUILD_DIR/brindle_<version>_amd64.deb with CPack and
# prints its path on the last line.
# Usage: scripts/package.sh [BUILD_DIR]
#   BUILD_DIR: a build tree to reuse, such as the one the tests were built in
#   (only what the package holds is built in it); default build-package, a
#   Release build of the programs alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
if [[ ! -f $build/CMakeCache.txt ]]; then
    scripts/install-deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_UNITY_BUILD=ON >/dev/null
fi
if grep -qE '^BRINDLE_(SANITIZE|FUZZ):BOOL=ON$' "$build/CMakeCache.txt"; then
    echo "package.sh: $build is a sanitizer or fuzzer build; a package needs a plain one" >&2
    exit 2
fi
# CPack installs without building everything first; what it installs is built here.
cmake -S . -B "$build" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j2 --target brindle brindle-cli tarvocards brindle_package_files >&2
(cd "$build" && cpack -G DEB) >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$(cd "$build" && pwd)/brindle_${version}_amd64.deb
[[ -f $deb ]] && echo "$deb"
