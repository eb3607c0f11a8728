#!/usr/bin/env bash
# Plants the MarbleFox specimen in a Wine prefix: every variant copied under
# "C:\Program Files" and started (rule 1 twice), and every registry remnant
# Foxbane cleans up (remnants.reg), with one of the control's two files.
#
#   WINEPREFIX=... FOXBANE_DRIVER=fbdriver.exe SESSION_DIR=dir plant.sh SPECIMENS-FOLDER
#
# The specimens run under fbdriver's watcher, which writes their process ids
# and exit codes to $SESSION_DIR/specimens.report. The prefix's wineserver
# should be running (wineserver -p), or each Wine start is slow.
set -euo pipefail
E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$E2E_DIR/session.sh"
source "$E2E_DIR/layout.sh"
: "${WINEPREFIX:?}" "${FOXBANE_DRIVER:?}" "${SESSION_DIR:?}"
specimens="${1:?usage: plant.sh SPECIMENS-FOLDER}"

for program in "${POSITIVE_PROCESSES[@]}" "${NEGATIVE_PROCESSES[@]}"; do
  target="$(linux_path "$program")"
  mkdir -p "$(dirname "$target")"
  cp "$specimens/${target##*/}" "$target"
done
echo "Not part of the specimen: keeps this folder from being emptied." >"$(linux_path "$TOOLBAR_README")"
mkdir -p "$(dirname "$(linux_path "$DPF_PRESENT")")"
echo "The downloaded control's file (a stand-in)." >"$(linux_path "$DPF_PRESENT")"

wine_run regedit /S "$(wine_path "$E2E_DIR/remnants.reg")" || fail "regedit could not import remnants.reg"
launch specimens "${POSITIVE_PROCESSES[@]}" "${NEGATIVE_PROCESSES[@]}"
