#!/bin/sh
# Fails when a folder includes one above it. The two sides of a run stay
# apart and below the driver; nothing below the windows reaches them.
# Usage: scripts/include-rules.sh [SOURCE_DIR]
cd "${1:-$(dirname "$0")/..}" || exit 2
above="app cli screens forms run accounting outlook transfer dialogs"
status=0
check() { # a folder, then the folders it must not include
    folder=$1
    shift
    for other in "$@"; do
        [ "$other" = "$folder" ] && continue
        if grep -rsHn --include='*.h' --include='*.cpp' "^#include \"$other/" "$folder"; then
            echo "$folder/ must not include $other/" >&2
            status=1
        fi
    done
}
check app
check cli screens app
check forms screens cli app
check run forms screens cli app
check accounting outlook run forms screens cli app
check outlook accounting run forms screens cli app
check transfer accounting outlook run forms screens cli app
check dialogs transfer accounting outlook run forms screens cli app
for lower in startup review runs carddav samples platform registry cardlib contactstore; do
    check "$lower" $above
done
exit $status
