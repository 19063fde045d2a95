#!/usr/bin/env bash
# A Radicale server of its own, for the tests and benchmarks: storage, users
# (htpasswd -bp FOLDER/users NAME PASSWORD) and log under FOLDER, on
# 127.0.0.1 at PORT (a free one when not given). Prints its address once it
# answers, then serves until it is sent TERM.
# Usage: scripts/local-radicale.sh FOLDER [PORT]
set -euo pipefail
folder=$1
port=${2:-$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}
touch "$folder/users"
printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s/users\nhtpasswd_encryption = plain\n[storage]\nfilesystem_folder = %s/collections\n' \
    "$port" "$folder" "$folder" >"$folder/radicale.conf"
radicale -C "$folder/radicale.conf" 2>>"$folder/radicale.log" &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid; exit 0' TERM INT
until curl -s -o /dev/null "http://127.0.0.1:$port/"; do
    kill -0 $pid 2>/dev/null || exit 1
    sleep 0.05
done
echo "http://127.0.0.1:$port/"
wait $pid
