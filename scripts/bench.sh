#!/usr/bin/env bash
# Builds the run benchmarks and runs the export and the import at 10,000 and
# 100,000 cards with their anchors in the same run (vdirsyncer for the export,
# the card library alone for the import), on an SQLite company file and on a
# database of a private PostgreSQL server, then prints one table. Run by hand:
# it takes minutes and is no part of the tests or CI.
# Usage: scripts/bench.sh [N...]   (default 10000 100000)
#        scripts/bench.sh carddav [N...]   (default 1000 10000): export and sync
#        to a local Radicale beside vdirsyncer alone (bench/carddav/)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = carddav ]; then
    shift
    [ $# -gt 0 ] || set -- 1000 10000
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j2 --target brindle-cli >/dev/null
    [ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
    exec bench/carddav/carddav-bench.sh "$PWD/build/bin" "$@"
fi
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRINDLE_BENCH=ON >/dev/null
cmake --build build -j2 --target ExportBench ImportBench >/dev/null

# Scratch stores in memory when there is a memory file system, so the disk's
# speed does not decide the figures.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
raw=$(mktemp -d)
server=tests/support/pg-server.sh
trap '$server stop "$raw/pg" immediate 2>/dev/null || true; rm -rf "$raw"' EXIT

echo "benchmarks: ${sizes[*]} cards, scratch under ${TMPDIR:-/tmp}" >&2
build/bin/ExportBench "${sizes[@]}" | tee "$raw/export" >&2
build/bin/ImportBench "${sizes[@]}" | tee "$raw/import" >&2

# The same on a private server listening on a socket of its own only; under
# root the server runs as nobody, who must reach its folder.
chmod 711 "$raw"
mkdir "$raw/pg"
$server init "$raw/pg"
$server start "$raw/pg"
export BRINDLE_BENCH_SERVER="postgresql://brindle@/%1?host=$raw/pg&port=5433"
build/bin/ExportBench "${sizes[@]}" | tee "$raw/export-pg" >&2
build/bin/ImportBench "${sizes[@]}" | tee "$raw/import-pg" >&2
unset BRINDLE_BENCH_SERVER

# ExportBench rows: operation (two words), N, run s, us/card, peak MiB,
# vdirsyncer us/card, vdirsyncer MiB, ratio.
# ImportBench rows: N, run s, us/contact, peak MiB, library s, library MiB, ratio.
# A server row's anchor is the same run on SQLite.
{
    awk '/^export, / {
        anchor = ($2 == "new") ? "vdirsyncer first sync" : "vdirsyncer sync again"
        printf "export, %-10s %7d %9.1f %9.1f  %-22s %9.1f %9.1f %6.2f\n",
            $2, $3, $5, $6, anchor, $7, $8, $9
    }' "$raw/export"
    awk '$1 ~ /^[0-9]+$/ && NF == 7 {
        printf "import            %7d %9.1f %9.1f  %-22s %9.1f %9.1f %6.2f\n",
            $1, $3, $4, "card library alone", $5 * 1e6 / $1, $6, $7
    }' "$raw/import"
    awk 'NR == FNR && /^export, / { us[$2 $3] = $5; mib[$2 $3] = $6; next }
        /^export, / {
        printf "export, %-10s %7d %9.1f %9.1f  %-22s %9.1f %9.1f %6.2f\n",
            $2 "/pg", $3, $5, $6, "same on SQLite", us[$2 $3], mib[$2 $3], $5 / us[$2 $3]
    }' "$raw/export" "$raw/export-pg"
    awk 'NR == FNR && $1 ~ /^[0-9]+$/ && NF == 7 { us[$1] = $3; mib[$1] = $4; next }
        $1 ~ /^[0-9]+$/ && NF == 7 {
        printf "import, pg        %7d %9.1f %9.1f  %-22s %9.1f %9.1f %6.2f\n",
            $1, $3, $4, "same on SQLite", us[$1], mib[$1], $3 / us[$1]
    }' "$raw/import" "$raw/import-pg"
} >"$raw/rows"

if [ "$(wc -l <"$raw/rows")" -ne $((6 * ${#sizes[@]})) ]; then
    echo "bench.sh: the benchmarks' output could not be read" >&2
    exit 1
fi
printf "%-17s %7s %9s %9s  %-22s %9s %9s %6s\n" operation N "us/card" "peak MiB" anchor \
    "us/card" "peak MiB" ratio
sort -s -k1,2 "$raw/rows"
