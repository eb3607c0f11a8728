#!/usr/bin/env bash
# Prepares the Wine prefix that every end-to-end test copies: booting a
# prefix takes far longer than copying one. Made again when Wine changes.
source "$(dirname "$0")/lib.sh"

mkdir -p "$FOXBANE_E2E_PREFIXES"
exec 9>"$TEMPLATE_LOCK"
flock 9
version="$(wine --version 2>/dev/null)"
if [ -f "$TEMPLATE/.complete" ] && [ "$(cat "$TEMPLATE/.complete")" == "$version" ]; then
  echo "Prepared prefix is up to date ($version)"
  exit 0
fi
rm -rf "$TEMPLATE"
export WINEPREFIX="$TEMPLATE"
wineboot -i >/dev/null 2>&1
# A crash must fail the test, not wait for someone to close a dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w   # the registry is on disk once the server has ended
echo "$version" >"$TEMPLATE/.complete"
echo "Prepared $TEMPLATE ($version)"
