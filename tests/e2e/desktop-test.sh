#!/usr/bin/env bash
# The real wizard on a 1280x1024 Xvfb screen under Openbox, driven with
# xdotool: a click on the import arrow, each dialog answered once by its
# title, up to the summary and its Close. Every window must be of fixed size
# (no resize handle below it), each dialog on top and centred over the
# progress window. Usage: desktop-test.sh BIN_DIR KEEP_DIR (screens of a failure).
# The waits are long: on a loaded machine the server and the window manager
# take seconds to come up.
set -uo pipefail
bin=$1 keep=$2 dir=$(mktemp -d) failed=0 shots=0
export BRINDLE_APP_DIR=$dir BRINDLE_REGISTRY=$dir/hklm.ini BRINDLE_CONTACTS=$dir/contacts TMPDIR=$dir
finish() {
    kill ${wizard:-} ${wm:-} ${server:-} 2>/dev/null
    [ $failed = 1 ] && rm -rf "$keep" && mkdir -p "$keep" && cp "$dir"/*.png "$keep/" && echo "screens in $keep"
    rm -rf "$dir"
}
trap finish EXIT
fail() { echo "FAIL: $*"; failed=1; import -window root "$dir/$((++shots)).png"; }
retry() { for _ in $(seq "$1"); do "${@:2}" && return; sleep 0.1; done; return 1; }
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
titles=("Confirm Update of VEXO Card" "Blank Field Warning" "Warning : Blank Field in Outlook Contact")
# The server picks a free display and names it once it takes connections;
# without -noreset a probe's disconnect resets it under the window manager.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/x.log" & server=$!
retry 300 test -s "$dir/display"
export DISPLAY=:$(<"$dir/display")
openbox >"$dir/wm.log" 2>&1 & wm=$!
retry 300 xdotool get_desktop >/dev/null 2>&1 && kill -0 $server ||
    { fail "no X server or window manager"; cat "$dir/x.log" "$dir/wm.log"; exit 1; }
# Under the sanitizers: the X keyboard library's strndup reads past its
# string with strict string checks, and X's own allocations outlive the
# program; neither is the wizard's.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0:detect_leaks=0 \
    QT_QPA_PLATFORM=xcb "$bin/brindle" "$options" 2>/dev/null & wizard=$!
window() { retry 300 xdotool search --onlyvisible --name "^Brindle - $1\$" 2>/dev/null; }
active() { retry 50 test "$(xdotool getactivewindow)" = "$1"; }
geometry() { xdotool getwindowgeometry --shell "$1" | tr '\n' ' '; }
fixed() { # a resize from outside is refused
    local before; before=$(geometry "$1")
    eval "$before"; xdotool windowsize "$1" $((WIDTH + 40)) $((HEIGHT + 40)); sleep 0.2
    [ "$(geometry "$1")" = "$before" ] || fail "$2 can be resized"
}
options=$(window "Import and Export Options") || { fail "no wizard"; exit 1; }
sleep 0.3; fixed "$options" options
# The arrow is the green in the upper half of the window.
eval "$(geometry "$options")"
arrow=$(import -window root -crop "${WIDTH}x$((HEIGHT / 2))+$X+$Y" txt:- |
    awk -F'[(,): ]+' 'NR > 1 && $4 > $3 + 40 && $4 > $5 + 20 { x += $1; y += $2; n++ } END { if (n) print int(x / n), int(y / n) }')
[ -n "$arrow" ] || { fail "no import arrow"; exit 1; }
set -- $arrow; xdotool mousemove $((X + $1)) $((Y + $2)) click 1
answered=""
for _ in $(seq 300); do
    xdotool search --onlyvisible --name '^Brindle - Import Summary$' >/dev/null 2>&1 && break
    for title in "${titles[@]}"; do
        dialog=$(xdotool search --onlyvisible --name "^Brindle - $title\$" 2>/dev/null) || continue
        active "$dialog" || fail "$title is not on top"
        sleep 0.2; fixed "$dialog" "$title"
        eval "$(geometry "$(window 'Matching VEXO Cards')")"; px=$((X + WIDTH / 2)) py=$((Y + HEIGHT / 2))
        eval "$(geometry "$dialog")"; dx=$((X + WIDTH / 2 - px)) dy=$((Y + HEIGHT / 2 - py))
        [ $((${dx#-} + ${dy#-})) -le 24 ] || fail "$title is not centred over the progress window"
        xdotool key Return; answered+="$title;"
        retry 50 test "$(xdotool search --onlyvisible --name "^Brindle - $title\$" 2>/dev/null)" != "$dialog"
    done
done
[ "$(tr ';' '\n' <<<"$answered" | sort)" = "$(printf '%s\n' "" "${titles[@]}" | sort)" ] ||
    fail "dialogs answered, each once: $answered"
summary=$(window "Import Summary") || { fail "no summary"; exit 1; }
sleep 0.3; fixed "$summary" summary
active "$summary" && xdotool key Return
retry 50 eval '! kill -0 $wizard 2>/dev/null' || fail "the wizard did not end"
exit $failed
