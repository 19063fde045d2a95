#!/usr/bin/env bash
# Sets everything up, builds and runs Brindle on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null

demo=${BRINDLE_DEMO_DIR:-/tmp/brindle-demo}
rm -rf "$demo" && mkdir -p "$demo"
export BRINDLE_REGISTRY="$demo/hklm.ini" BRINDLE_APP_DIR="$demo" BRINDLE_CONTACTS="$demo/contacts"
cli=build/bin/brindle-cli
options="DATABASE=$demo/Company.db<HOST_EXE_PATH=/opt/vexo/VEXOP.exe<USERNAME=Administrator<PASSWORD=secret<CUSTOMERS=YES<SUPPLIERS=yes"

echo "== The option string the accounting software passes, as Brindle reads it"
"$cli" options "$options"
echo
echo "== The sample company file and contact store"
"$cli" sample company "$demo/Company.db" --cards 200 --seed 7 --password secret
"$cli" sample contacts "$BRINDLE_CONTACTS" --contacts 200 --layout folders --seed 7
ls "$BRINDLE_CONTACTS/Contacts"
echo
echo "== Settings on a fresh installation"
"$cli" settings
