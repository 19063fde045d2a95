#!/usr/bin/env bash
# The real wizard on a 1280x1024 Xvfb screen under Openbox, driven with
# xdotool: a click on the import arrow, each dialog answered by its title
# (once each), up to the summary. Every window must be of fixed size (no
# resize handle below it), each dialog active and centred over the progress
# window. Usage: desktop-test.sh BIN_DIR KEEP_DIR (screens of a failure).
set -uo pipefail
bin=$1 keep=$2 dir=$(mktemp -d) failed=0 shots=0
export BRINDLE_APP_DIR=$dir BRINDLE_REGISTRY=$dir/hklm.ini BRINDLE_CONTACTS=$dir/contacts TMPDIR=$dir
trap 'kill ${wizard:-} ${wm:-} ${server:-} 2>/dev/null; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; failed=1; import -window root "$dir/$((++shots)).png"; }
ln -s "$bin/libtarvocards.so" "$dir/"
printf '[Software/VEXO/VEXO Brindle]\nShowOutlookWarning=False\n' >"$dir/hklm.ini"
options="DATABASE=$dir/Company.db<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES"
"$bin/brindle-cli" sample company "$dir/Company.db" --cards 40 >/dev/null
"$bin/brindle-cli" export "$options" --rule update >/dev/null
sed -i 's/^RulesFilter=.*/RulesFilter=3/' "$dir/hklm.ini"
# One phone changed, one e-mail address emptied: three dialogs.
cd "$dir/contacts/Contacts/VEXO Customers" || exit 1
sed -i 's/^\(TEL[^:]*:\).*/\1(03) 9999 1234\r/' "$(grep -l ^TEL ./*.vcf | head -1)"
sed -i '/^EMAIL/d' "$(grep -l ^EMAIL ./*.vcf | tail -1)"
display=$((100 + $$ % 800))
while [ -e /tmp/.X11-unix/X$display ]; do display=$((display + 7)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & server=$!
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
openbox >/dev/null 2>&1 & wm=$!
for _ in $(seq 100); do xdotool get_desktop >/dev/null 2>&1 && break; sleep 0.1; done
QT_QPA_PLATFORM=xcb "$bin/brindle" "$options" 2>/dev/null & wizard=$!
wait_window() { for _ in $(seq 100); do xdotool search --onlyvisible --name "^$1\$" && return; sleep 0.1; done; return 1; }
active() { for _ in $(seq 50); do [ "$(xdotool getactivewindow)" = "$1" ] && return; sleep 0.1; done; false; }
geometry() { xdotool getwindowgeometry --shell "$1" | tr '\n' ' '; }
fixed() { # a resize from outside is refused
    local before; before=$(geometry "$1")
    eval "$before"; xdotool windowsize "$1" $((WIDTH + 40)) $((HEIGHT + 40)); sleep 0.2
    [ "$(geometry "$1")" = "$before" ] || fail "$2 can be resized"
}
window=$(wait_window "Brindle - Import and Export Options") || { fail "no wizard"; exit 1; }
sleep 0.3; fixed "$window" options
# The arrow is the green in the upper half of the window.
eval "$(geometry "$window")"
arrow=$(import -window root -crop "${WIDTH}x$((HEIGHT / 2))+$X+$Y" txt:- |
    awk -F'[(,): ]+' 'NR > 1 && $4 > $3 + 40 && $4 > $5 + 20 { x += $1; y += $2; n++ } END { if (n) print int(x / n), int(y / n) }')
[ -n "$arrow" ] || { fail "no import arrow"; exit 1; }
set -- $arrow; xdotool mousemove $((X + $1)) $((Y + $2)) click 1
answered=""
for _ in $(seq 300); do
    xdotool search --onlyvisible --name '^Brindle - Import Summary$' >/dev/null 2>&1 && break
    for title in "Confirm Update of VEXO Card" "Blank Field Warning" "Warning : Blank Field in Outlook Contact"; do
        dialog=$(xdotool search --onlyvisible --name "^Brindle - $title\$" 2>/dev/null) || continue
        active "$dialog" || fail "$title is not on top"
        sleep 0.2; fixed "$dialog" "$title"
        eval "$(geometry "$(wait_window 'Brindle - Matching VEXO Cards')")"; px=$((X + WIDTH / 2)) py=$((Y + HEIGHT / 2))
        eval "$(geometry "$dialog")"; dx=$((X + WIDTH / 2 - px)) dy=$((Y + HEIGHT / 2 - py))
        [ $((${dx#-} + ${dy#-})) -le 24 ] || fail "$title is not centred over the progress window"
        xdotool key Return; answered+="$title;"
        while xdotool search --onlyvisible --name "^Brindle - $title\$" 2>/dev/null | grep -qx "$dialog"; do
            sleep 0.1
        done
    done
    sleep 0.1
done
for title in "Confirm Update of VEXO Card" "Blank Field Warning" "Warning : Blank Field in Outlook Contact"; do
    [ "$(grep -o "$title;" <<<"$answered" | wc -l)" = 1 ] || fail "$title answered: $answered"
done
summary=$(wait_window "Brindle - Import Summary") || { fail "no summary"; exit 1; }
sleep 0.3; fixed "$summary" summary
active "$summary" && xdotool key Return
for _ in $(seq 50); do kill -0 $wizard 2>/dev/null || break; sleep 0.1; done
kill -0 $wizard 2>/dev/null && fail "the wizard did not end"
if [ $failed = 1 ]; then rm -rf "$keep"; mkdir -p "$keep"; cp "$dir"/*.png "$keep/"; echo "screens in $keep"; fi
exit $failed
