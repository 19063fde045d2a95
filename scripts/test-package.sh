#!/usr/bin/env bash
# Builds the package, unpacks it into a scratch root and runs the installed
# brindle-cli there as a new user would: no BRINDLE_* variables, a scratch
# HOME. Then lintian (no error), desktop-file-validate, and the man page and
# the completion checked against every command, option, key and variable
# --help lists.
# Usage: scripts/test-package.sh [BUILD_DIR]   (passed on to scripts/package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh "$@" | tail -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "test-package.sh: $*" >&2
    exit 1
}

root=$scratch/root
dpkg -x "$deb" "$root"
cli=$root/usr/bin/brindle-cli
for program in brindle brindle-cli; do
    ! ldd "$root/usr/bin/$program" | grep 'not found' || fail "$program misses a library"
done

# A new user's first runs.
unset "${!BRINDLE_@}" XDG_DATA_HOME XDG_CONFIG_HOME
export HOME=$scratch/home
mkdir "$HOME"
version=$(dpkg-deb -f "$deb" Version)
[[ $("$cli" --version) == "brindle-cli $version" ]] || fail "--version is not $version"
"$cli" sample company "$HOME/Company.db" --cards 40 --seed 3 --password secret >/dev/null
options="DATABASE=$HOME/Company.db<USERNAME=Administrator<PASSWORD=secret<CUSTOMERS=YES"
data=$HOME/.local/share/brindle
# Reports and the log on, in the hive where an installed program looks for it.
mkdir -p "$HOME/.config/brindle"
printf '[Software/VEXO/VEXO Brindle]\nSuppressReport=False\nLogFile=TRUE\n' \
    >"$HOME/.config/brindle/hklm.ini"
"$cli" export "$options" --rule update >"$scratch/export.out" || fail "export failed"
grep -qx "Report: $data/[A-Za-z]*\.html" "$scratch/export.out" || fail "no report in $data"
customers="$data/contacts/Contacts/VEXO Customers"
[[ -n $(ls "$customers") ]] || fail "the export wrote no contact into $customers"
printf '%s\r\n' BEGIN:VCARD VERSION:4.0 UID:d6c3a4a0-0e1f-4d55-9a43-5b0c1f7e2a11 \
    'N:Okafor;Grace;;;' 'FN:Grace Okafor' END:VCARD >"$customers/okafor.vcf"
"$cli" import "$options" --rule update >"$scratch/import.out" || fail "import failed"
[[ $(sqlite3 "$HOME/Company.db" "SELECT count(*) FROM Cards WHERE LastName = 'Okafor'") == 1 ]] ||
    fail "the import did not add the new contact's card"
[[ -s $data/TarvoLogFile.txt ]] || fail "no log in $data"
[[ $(ls "$root/usr/bin") == $'brindle\nbrindle-cli' ]] || fail "files written beside the programs"

lintian --fail-on error "$deb" | tee "$scratch/lintian" >&2
desktop-file-validate "$root/usr/share/applications/brindle.desktop"

# Every word --help shows a user must be in the man page; every option and
# command in the completion.
usage=$("$cli" --help)
mapfile -t commands < <(sed -n 's/^  \([a-z][a-z-]*\( [a-z]*\)\?\) .*/\1/p' <<<"$usage")
help=$usage
for command in "${commands[@]}"; do
    # shellcheck disable=SC2086 # a two-word command is two arguments
    help+=$'\n'$("$cli" $command --help)
done
man=$(zcat "$root/usr/share/man/man1/brindle-cli.1.gz" | sed 's/\\-/-/g')
completion=$(cat "$root/usr/share/bash-completion/completions/brindle-cli")
options=$(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u)
others=$(grep -oE '\b[A-Z][A-Z_]+=|\bBRINDLE_[A-Z_]+' <<<"$help" | sort -u)
for word in "${commands[@]}" $options $others; do
    grep -qF -- "$word" <<<"$man" || fail "brindle-cli(1) does not mention $word"
done
for word in $(printf '%s\n' "${commands[@]}" | tr ' ' '\n') $options; do
    grep -qwF -- "$word" <<<"$completion" || fail "the completion does not offer $word"
done
# What Tab offers after the words typed.
complete_words() {
    bash -c 'source /usr/share/bash-completion/bash_completion && source "$0" &&
        COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && COMP_LINE="$*" &&
        COMP_POINT=${#COMP_LINE} && _brindle_cli && echo "${COMPREPLY[*]}"' \
        "$root/usr/share/bash-completion/completions/brindle-cli" brindle-cli "$@"
}
[[ $(complete_words export --rule '') == "update keep ask" ]] || fail "no --rule values"
[[ $(complete_words sa) == sample ]] || fail "no command completed"
[[ $(cd "$HOME" && complete_words import Company.d) == Company.db ]] || fail "no file completed"
echo "test-package.sh: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) passed;" \
    "lintian: $(grep -c '^W:' "$scratch/lintian" || true) warnings"
