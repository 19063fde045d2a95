#!/usr/bin/env bash
# Export with --sync of N cards to a local Radicale, first and unchanged,
# beside vdirsyncer alone syncing a copy of the same store to the same
# server, so Brindle's own share of the time shows. Run by scripts/bench.sh.
# Usage: bench/carddav/carddav-bench.sh BIN_DIR N...
set -euo pipefail
bin=$1
shift
work=$(mktemp -d)
radicale_pid=
cleanup() {
    [ -z "$radicale_pid" ] || { kill "$radicale_pid" && wait "$radicale_pid"; } 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

echo secret >"$work/password"
coproc radicale { exec "$(dirname "$0")/../../scripts/local-radicale.sh" "$work"; }
radicale_pid=$radicale_PID
read -r url <&"${radicale[0]}"

now() { date +%s.%N; }
# Seconds the command takes; its output goes to the log.
timed() {
    local start
    start=$(now)
    "$@" >>"$work/log" 2>&1
    awk -v end="$(now)" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}

# The shortest of $1 runs of the command.
best() {
    local tries=$1 fastest= t
    shift
    for ((i = 0; i < tries; i++)); do
        t=$(timed "$@")
        fastest=$(awk -v a="$t" -v b="${fastest:-$t}" 'BEGIN { print (a < b) ? a : b }')
    done
    echo "$fastest"
}

# vdirsyncer alone, on its own copy of the store and its own user.
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
url = "$url"
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
    htpasswd -bp "$work/users" "b$n" secret 2>/dev/null
    htpasswd -bp "$work/users" "v$n" secret 2>/dev/null
    export BRINDLE_APP_DIR="$run/app" BRINDLE_REGISTRY="$run/hklm.ini" \
        BRINDLE_CONTACTS="$run/contacts" XDG_CONFIG_HOME="$run/config" TMPDIR="$run/app"
    printf '[Software/VEXO/VEXO Brindle]\nSuppressReport=True\nShowOutlookWarning=False\n' \
        >"$BRINDLE_REGISTRY"
    "$bin/brindle-cli" sample company "$run/Company.db" --cards "$n" >/dev/null
    options="DATABASE=$run/Company.db<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES"
    "$bin/brindle-cli" carddav setup "$url" --username "b$n" \
        --password-command "cat \"$work/password\"" >/dev/null 2>&1
    for pass in first unchanged; do
        # A first run happens once; an unchanged one keeps the best of three.
        tries=1
        [ "$pass" = first ] || tries=3
        export_s=$(best $tries "$bin/brindle-cli" export "$options" --rule update)
        if [ "$pass" = first ]; then
            cp -r "$run/contacts" "$run/plain/"
            plain_config "$run/plain" "v$n" >"$run/plain/config"
        fi
        plain_s=$(best $tries plain_sync "$run/plain")
        sync_s=$(best $tries "$bin/brindle-cli" carddav sync)
        # Brindle's own: the export, and what its sync took beyond vdirsyncer's.
        own=$(awk -v e="$export_s" -v s="$sync_s" -v p="$plain_s" \
            'BEGIN { extra = (s > p) ? s - p : 0; print 100 * (e + extra) / (e + s) }')
        printf "%-22s %6d %9.2f %9.2f %12.2f %6.1f\n" "export+sync, $pass" "$n" "$export_s" \
            "$sync_s" "$plain_s" "$own"
    done
done
