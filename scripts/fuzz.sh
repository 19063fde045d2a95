#!/usr/bin/env bash
# Builds a fuzzer with clang and runs it for SECONDS (default 30), seeded with
# its corpus. TARGET: vcard (the vCard reader), filter (the Find filter
# parser) or options (the option string). Exits non-zero when the fuzzer finds a crash.
set -euo pipefail

target="${1:?usage: fuzz.sh vcard|filter|options [SECONDS]}"
seconds="${2:-30}"
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$repo/build-fuzz"
corpus="$build/$target-corpus"

case "$target" in
vcard) seeds=("$repo"/tests/contactstore/data/*.vcf) ;;
filter) seeds=("$repo"/fuzz/corpus/filter/*) ;;
options) seeds=("$repo"/fuzz/corpus/options/*) ;;
*)
    echo "fuzz.sh: unknown target $target (vcard, filter or options)" >&2
    exit 2
    ;;
esac

cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ -DBRINDLE_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j2 "${target}_fuzzer"

mkdir -p "$corpus"
cp "${seeds[@]}" "$corpus"/
cd "$build"
"./bin/${target}_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 "$corpus"
