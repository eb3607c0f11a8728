#!/bin/sh
# Runs a Windows program under Wine for ctest. The program's output goes to a
# file first: Wine's helper processes inherit any pipe the program is given
# and keep it open after the program ends, which would leave ctest waiting.
. "$(dirname "$0")/wine.sh"
skip_unless_runnable "$1"
out=$(mktemp)
"$(wine_loader "$1")" "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
