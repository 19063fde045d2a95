#!/usr/bin/env bash
# The vCard fuzzer for SECONDS (default 30); scripts/fuzz.sh runs any target.
exec "$(dirname "$0")/fuzz.sh" vcard "$@"
