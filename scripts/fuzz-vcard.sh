#!/usr/bin/env bash
# Builds the vCard fuzzer with clang and runs it for SECONDS (default 30),
# seeded with the test vCards. Exits non-zero when the fuzzer finds a crash.
set -euo pipefail

seconds="${1:-30}"
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$repo/build-fuzz"
corpus="$build/vcard-corpus"

cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ -DBRINDLE_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" vcard_fuzzer

mkdir -p "$corpus"
cp "$repo"/tests/contactstore/data/*.vcf "$corpus"/
cd "$build"
./bin/vcard_fuzzer -max_total_time="$seconds" -max_len=65536 -timeout=10 "$corpus"
