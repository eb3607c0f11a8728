#!/usr/bin/env bash
# Prepares the Wine prefix that every end-to-end test copies: booting a
# prefix takes far longer than copying one. Made again when Wine changes,
# and when the 32-bit Wine came after it (32-bit builds could not run in it).
set -euo pipefail
: "${FOXBANE_E2E_PREFIXES:?}"
source "$(dirname "$0")/session.sh"
# No prefix is needed for programs that this machine cannot run.
skip_unless_runnable "${FOXBANE_EXE:-}"

mkdir -p "$FOXBANE_E2E_PREFIXES"
exec 9>"$PREPARED_PREFIX_LOCK"
flock 9
version="$(wine_version)"
if [ -f "$PREPARED_PREFIX/.complete" ] && [ "$(cat "$PREPARED_PREFIX/.complete")" == "$version" ] &&
   prefix_is_ready "$PREPARED_PREFIX"; then
  echo "Prepared prefix is up to date ($version)"
  exit 0
fi
rm -rf "$PREPARED_PREFIX"
export WINEPREFIX="$PREPARED_PREFIX"
wine_boot >/dev/null 2>&1
# A crash must fail the test, not wait for someone to close a dialog.
"$(wine_loader reg)" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w   # the registry is on disk once the server has ended
echo "$version" >"$PREPARED_PREFIX/.complete"
echo "Prepared $PREPARED_PREFIX ($version)"
