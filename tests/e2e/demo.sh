#!/usr/bin/env bash
# The whole product at work, for a newcomer: plants the specimen in a
# throw-away Wine prefix, starts Foxbane, scans and cleans up through its
# window, saves a screenshot of each screen and prints the scan log. Uses
# $DISPLAY when there is one (paced for a person to follow), else an Xvfb.
#
#   demo.sh BUILD-FOLDER    (the folder of foxbane.exe, fbdriver.exe and specimens/)
set -euo pipefail
E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:?usage: demo.sh BUILD-FOLDER}" && pwd)"
builds="$(dirname "$build")"   # build/, beside the screens and prefixes of the tests
export FOXBANE_EXE="$build/foxbane.exe" FOXBANE_DRIVER="$build/fbdriver.exe"
export FOXBANE_SPECIMENS="$build/specimens" FOXBANE_SCREENS="$builds/screens/demo"
export FOXBANE_E2E_PREFIXES="$builds/e2e-prefixes"
source "$E2E_DIR/session.sh"

mkdir -p "$FOXBANE_E2E_PREFIXES" "$FOXBANE_SCREENS"
bash "$E2E_DIR/template.sh" >/dev/null
export SESSION_DIR
SESSION_DIR="$(mktemp -d "$FOXBANE_E2E_PREFIXES/demo.XXXXXX")"
trap 'stop_session; rm -rf "$SESSION_DIR"' EXIT
copy_prepared_prefix "$SESSION_DIR/prefix"
pace=0
if [ -n "${DISPLAY:-}" ]; then pace=2; else start_private_display; fi
wineserver -p >/dev/null 2>&1
install_foxbane

step() {
  sleep "$pace"
  echo "== $*"
}

step "Planting the specimen: every variant started, every registry remnant imported"
bash "$E2E_DIR/plant.sh" "$FOXBANE_SPECIMENS"
start_large_programs   # a scan long enough to watch
step "Starting Foxbane"
start_foxbane
screenshot start
step "Scan"
screenshot scanning scan-screenshot
wait_for_results_step
echo "   $(cat "$SESSION_DIR/out")"
screenshot results
step "Delete File(s) and Cleanup >>"
drive click "Delete File(s) and Cleanup >>"
drive wait-visible activityframe 60
screenshot activity
step "scanlog.txt"
tr -d '\r' <"$(linux_path "$SCAN_LOG")"
step "Exit"
drive click Exit
echo "Screenshots: $FOXBANE_SCREENS"
