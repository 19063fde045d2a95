#!/usr/bin/env bash
# Puts back known faults one at a time and tells which ones no test catches.
#
#   scripts/mutate.sh [FAULTS] [NAME-PATTERN]
#
# FAULTS (default scripts/mutations.txt) lists the faults; NAME-PATTERN, a
# grep -E pattern, keeps only the faults whose heading matches. Each fault is
# applied to a scratch copy of this work tree in $BRINDLE_MUTATE_DIR (default
# /tmp/brindle-mutate), which is rebuilt incrementally and tested until the
# first failing test: first the test programs the fault names, then, when
# they pass, the whole suite. The copy and its build are kept between runs,
# so a second run only builds what changed.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
faults="$(realpath "${1:-$repo/scripts/mutations.txt}")"
pattern="${2:-}"
scratch="${BRINDLE_MUTATE_DIR:-/tmp/brindle-mutate}"
mkdir -p "$scratch/src"

# With the build folder inside the copy, as build/ is inside a work tree,
# and relative paths in the compiler's command lines, the copy shares the
# compiler cache with the work tree's build.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=/ CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM=offscreen

# The faults as they are now: the list may change while this runs.
cp "$faults" "$scratch/faults.txt"
faults="$scratch/faults.txt"
cd "$repo"
git ls-files -co --exclude-standard -z | python3 "$repo/scripts/mutate.py" sync "$scratch/src"
cmake -S "$scratch/src" -B "$scratch/src/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g0" >/dev/null

# Builds and runs the tests; prints the first failing test, if any.
build_and_test() {
    if ! cmake --build "$scratch/src/build" -j2 >"$scratch/build.log" 2>&1; then
        echo "(does not build)"
        return
    fi
    ctest --test-dir "$scratch/src/build" -j2 --stop-on-failure --timeout 60 \
        >"$scratch/test.log" 2>&1 || true
    sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Failed\|Timeout\|Exception\).*$/\1/p' \
        "$scratch/test.log" | head -1
}

echo "checking the untouched copy..."
if [[ -n "$(build_and_test)" ]]; then
    echo "mutate.sh: the untouched copy fails its tests: see $scratch/test.log" >&2
    exit 1
fi

# Builds and runs the test programs a fault names first, each until its
# first failure; prints the first that fails.
run_named() {
    cmake --build "$scratch/src/build" -j2 --target "$@" >"$scratch/build.log" 2>&1 || return 0
    for program in "$@"; do
        if ! (cd "$scratch/src/build" && "bin/$program" --gtest_fail_fast --gtest_brief=1) \
            >"$scratch/test.log" 2>&1; then
            echo "$program"
            return
        fi
    done
}

missed=()
while IFS= read -r name; do
    if ! python3 "$repo/scripts/mutate.py" apply "$faults" "$name" "$scratch/src"; then
        missed+=("$name (text not found once)")
        continue
    fi
    read -r -a programs < <(python3 "$repo/scripts/mutate.py" programs "$faults" "$name") || true
    failure=""
    if ((${#programs[@]})); then
        failure="$(run_named "${programs[@]}")"
    fi
    if [[ -z "$failure" ]]; then
        failure="$(build_and_test)"
    fi
    python3 "$repo/scripts/mutate.py" restore "$faults" "$name" "$scratch/src"
    if [[ "$failure" == "(does not build)" ]]; then
        echo "BROKEN  $name  (does not build: fix its faulty text)"
        missed+=("$name (does not build)")
    elif [[ -n "$failure" ]]; then
        echo "caught  $name  <- $failure"
    else
        echo "MISSED  $name"
        missed+=("$name")
    fi
done < <(python3 "$repo/scripts/mutate.py" names "$faults" | grep -E -- "${pattern:-.}")

cmake --build "$scratch/src/build" -j2 >/dev/null # leaves the copy as the tree is
echo "${#missed[@]} fault(s) not caught"
for name in "${missed[@]}"; do
    echo "  $name"
done
