#!/bin/sh
# A private PostgreSQL server in FOLDER, listening on a Unix socket there
# only (port 5433), for the tests and the benchmarks; under root it runs as
# nobody, as the server refuses root. The superuser "brindle" logs in
# without a password, every other role with its own.
# Usage: pg-server.sh init|start|stop FOLDER [fast|immediate]
set -e
bin=/usr/lib/postgresql/15/bin
dir=$2
as_server() { if [ "$(id -u)" = 0 ]; then setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; else "$@"; fi; }
case $1 in
init)
    if [ "$(id -u)" = 0 ]; then chown nobody "$dir"; fi
    as_server $bin/initdb -D "$dir/data" -U brindle -A trust -E UTF8 --locale=C.UTF-8 -N >/dev/null
    printf 'local all brindle trust\nlocal all all scram-sha-256\n' >"$dir/data/pg_hba.conf" ;;
start)
    as_server $bin/pg_ctl -D "$dir/data" -l "$dir/log" -w -o "-c listen_addresses='' -c port=5433 \
        -c fsync=off -c unix_socket_directories='$dir'" start >/dev/null ;;
stop)
    as_server $bin/pg_ctl -D "$dir/data" -m "${3:-fast}" stop >/dev/null ;;
esac
