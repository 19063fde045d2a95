#!/usr/bin/env bash
# The main job on the bundled sample data: the cards of a company file go to
# an empty contact store, another contact program changes a few contacts, the
# changes come back into the company file, and a second export rewrites
# nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
demo=${BRINDLE_DEMO_DIR:-/tmp/brindle-demo}
rm -rf "$demo" && mkdir -p "$demo"

echo "Installing what is missing and building the programs (log: $demo/build.log)..."
scripts/build.sh brindle brindle-cli tarvocards >"$demo/build.log" 2>&1 ||
    { tail -n 30 "$demo/build.log"; exit 1; }

cli=$repo/build/bin/brindle-cli
store=$demo/contacts
customers="$store/Contacts/VEXO Customers"
# The program folder: the card library beside it, the reports and the log in it.
ln -s "$repo/build/bin/libtarvocards.so" "$demo/libtarvocards.so"
export BRINDLE_APP_DIR=$demo BRINDLE_REGISTRY=$demo/hklm.ini BRINDLE_CONTACTS=$store
printf '[Software/VEXO/VEXO Brindle]\nSuppressReport=False\n' >"$BRINDLE_REGISTRY"
options="DATABASE=$demo/Company.db<HOST_EXE_PATH=/opt/vexo/VEXOP.exe<USERNAME=Administrator<PASSWORD=secret<CUSTOMERS=YES<SUPPLIERS=YES"
# The runs read it from a file only its owner may read, so the password stays
# out of the process list, as an administrator's would.
install -m 600 /dev/null "$demo/company.options"
printf '%s' "$options" >"$demo/company.options"

step() { printf '\n== %s\n' "$*"; }

# The contact file whose formatted name is $1.
contact() { grep -l -x -F "FN:$1"$'\r' "$customers"/*.vcf; }

# vCard lines end in CR LF; sed keeps the CR by writing it back.
set_work_phone() {
    sed -i "s/^TEL;TYPE=work,voice:.*\r\$/TEL;TYPE=work,voice:$2\r/" "$(contact "$1")"
}
note_before_marker() {
    sed -i "s/^NOTE:\\\\n-!VEXO NOTES!-/NOTE:$2\\\\n-!VEXO NOTES!-/" "$(contact "$1")"
}
add_customer() {
    printf '%s\r\n' BEGIN:VCARD VERSION:4.0 "UID:$(cat /proc/sys/kernel/random/uuid)" \
        "N:$1;$2;;;" "FN:$2 $1" "TEL;TYPE=home,voice:$3" "EMAIL:$4" \
        "ADR;TYPE=home:;;$5;$6;$7;$8;Australia" END:VCARD >"$customers/$2-$1.vcf"
}

show_cards() {
    sqlite3 -header -column "$demo/Company.db" "
        SELECT c.CardIdentification AS Id, c.LastName, c.FirstName, a.City,
               a.Phone1, a.Email
          FROM Cards c JOIN Addresses a ON a.CardRecordID = c.CardRecordID AND a.Location = 1
         WHERE c.LastName IN ('Acme Consulting & Co', 'Blue Gum Florists', 'Okafor')
         ORDER BY c.LastName"
}

# khard reads each card-type folder as an address book of its own.
write_khard_config() {
    echo "[addressbooks]" >"$demo/khard.conf"
    for folder in "$store"/Contacts/*/; do
        name=$(basename "$folder")
        printf '[[%s]]\npath = %s\n' "${name#VEXO }" "$folder" >>"$demo/khard.conf"
    done
    printf '[general]\ndefault_action = list\n' >>"$demo/khard.conf"
}

snapshot() { find "$store" -name '*.vcf' -printf '%i %T@ %p\n' | sort; }

step "1. A sample company file of 200 cards and an empty contact store"
"$cli" sample company "$demo/Company.db" --cards 200 --seed 7 --password secret
mkdir -p "$store"

step "2. Export: customers and suppliers into contacts"
"$cli" export --options-file "$demo/company.options" --rule update
ls "$store/Contacts"

step "3. Another contact program changes three contacts"
set_work_phone "Acme Consulting & Co" "(04) 4023 9911"
echo "Acme Consulting & Co: work phone now (04) 4023 9911"
note_before_marker "Blue Gum Florists" "Met at the Hobart trade fair; send the spring catalogue."
echo "Blue Gum Florists: a note typed above the card's notes"
add_customer Okafor Grace "(03) 6231 4477" grace.okafor@example.com "12 Salamanca Pl" Hobart TAS 7000
echo "Grace Okafor: a new contact in the customers' folder"

step "4. Import: the contacts back into the company file"
"$cli" import --options-file "$demo/company.options" --rule update
echo
echo "The changed cards as the company file now holds them:"
show_cards

step "5. Export again: only the new contact gains its card's link; nothing else is rewritten"
before=$(snapshot)
"$cli" export --options-file "$demo/company.options" --rule update
rewritten=$(comm -13 <(echo "$before") <(snapshot) | cut -d' ' -f3-)
echo "Contact files rewritten: $(grep -c . <<<"$rewritten" || true) of $(wc -l <<<"$before")"
while read -r file; do
    [[ -n $file ]] && grep -m1 '^FN:' "$file" | tr -d '\r' | sed 's/^FN:/  /'
done <<<"$rewritten"
echo "The note typed above the card's notes is still there:"
grep -h '^NOTE:Met' "$customers"/*.vcf | tr -d '\r'

write_khard_config
echo
echo "Reports:  $demo/OutlookImport.html and $demo/VEXOImport.html"
echo "Wizard:   BRINDLE_APP_DIR=$demo BRINDLE_REGISTRY=$BRINDLE_REGISTRY BRINDLE_CONTACTS=$store $repo/build/bin/brindle '$options'"
echo "Contacts: khard -c $demo/khard.conf list"
