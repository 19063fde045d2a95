#!/usr/bin/env bash
# Export with --sync of N cards to a local Radicale, first and unchanged,
# beside vdirsyncer alone syncing a copy of the same store, so Brindle's own
# share of the time shows. Each side has a Radicale of its own, so neither
# uploads to a server the other has filled; unchanged runs are repeated, the
# side that goes first alternating, and each keeps its best. Run by
# scripts/bench.sh.
# Usage: bench/carddav/carddav-bench.sh BIN_DIR N...
set -euo pipefail
bin=$1
shift
work=$(mktemp -d)
servers=()
cleanup() {
    for pid in "${servers[@]}"; do
        { kill "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

echo secret >"$work/password"
# Starts a Radicale in $work/$1, which names its address in $work/$1/url.
start_server() {
    mkdir "$work/$1"
    "$(dirname "$0")/../../scripts/local-radicale.sh" "$work/$1" >"$work/$1/url" &
    servers+=($!)
    until [ -s "$work/$1/url" ]; do
        kill -0 "${servers[-1]}" 2>/dev/null || { echo "Radicale did not start" >&2 && exit 1; }
        sleep 0.05
    done
}
start_server brindle-server
start_server plain-server

now() { date +%s.%N; }
# Seconds the command takes; its output goes to the log.
timed() {
    local start
    start=$(now)
    "$@" >>"$work/log" 2>&1
    awk -v end="$(now)" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}
shorter() { awk -v a="$1" -v b="${2:-$1}" 'BEGIN { print (a < b) ? a : b }'; }

# vdirsyncer alone, on its own copy of the store.
plain_config() {
    cat <<CONF
[general]
status_path = "$1/status/"
[pair plain]
a = "plain_store"
b = "plain_server"
collections = ["from a"]
[storage plain_store]
type = "filesystem"
path = "$1/contacts/Contacts"
fileext = ".vcf"
[storage plain_server]
type = "carddav"
url = "$(cat "$work/plain-server/url")"
username = "$2"
password.fetch = ["command", "cat", "$work/password"]
CONF
}
plain_sync() {
    { yes || true; } | vdirsyncer -c "$1/config" discover >/dev/null && vdirsyncer -c "$1/config" sync
}

printf "%-22s %6s %9s %9s %12s %6s\n" operation N "export s" "sync s" "vdirsyncer s" "own %"
for n in "$@"; do
    run="$work/$n"
    mkdir -p "$run/app" "$run/plain"
    ln -s "$bin/libtarvocards.so" "$run/app/"
    # A user per size on each server, so each size starts from empty collections.
    htpasswd -bp "$work/brindle-server/users" "u$n" secret 2>/dev/null
    htpasswd -bp "$work/plain-server/users" "u$n" secret 2>/dev/null
    export BRINDLE_APP_DIR="$run/app" BRINDLE_REGISTRY="$run/hklm.ini" \
        BRINDLE_CONTACTS="$run/contacts" XDG_CONFIG_HOME="$run/config" TMPDIR="$run/app"
    printf '[Software/VEXO/VEXO Brindle]\nSuppressReport=True\nShowOutlookWarning=False\n' \
        >"$BRINDLE_REGISTRY"
    "$bin/brindle-cli" sample company "$run/Company.db" --cards "$n" >/dev/null
    options="DATABASE=$run/Company.db<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES"
    "$bin/brindle-cli" carddav setup "$(cat "$work/brindle-server/url")" \
        --username "u$n" --password-command "cat \"$work/password\"" >/dev/null 2>&1
    for pass in first unchanged; do
        # A first run happens once; an unchanged one keeps the best of six.
        tries=1
        [ "$pass" = first ] || tries=6
        export_s= sync_s= plain_s=
        for ((i = 0; i < tries; i++)); do
            export_s=$(shorter "$(timed "$bin/brindle-cli" export "$options" --rule update)" \
                "$export_s")
            if [ "$pass" = first ]; then
                cp -r "$run/contacts" "$run/plain/"
                plain_config "$run/plain" "u$n" >"$run/plain/config"
            fi
            # Which side goes first alternates, so neither always meets a busier moment.
            if ((i % 2)); then
                sync_s=$(shorter "$(timed "$bin/brindle-cli" carddav sync)" "$sync_s")
            fi
            plain_s=$(shorter "$(timed plain_sync "$run/plain")" "$plain_s")
            if ((i % 2 == 0)); then
                sync_s=$(shorter "$(timed "$bin/brindle-cli" carddav sync)" "$sync_s")
            fi
        done
        # Brindle's own: the export, and what its sync took beyond vdirsyncer's.
        own=$(awk -v e="$export_s" -v s="$sync_s" -v p="$plain_s" \
            'BEGIN { extra = (s > p) ? s - p : 0; print 100 * (e + extra) / (e + s) }')
        printf "%-22s %6d %9.2f %9.2f %12.2f %6.1f\n" "export+sync, $pass" "$n" "$export_s" \
            "$sync_s" "$plain_s" "$own"
    done
done
