#!/usr/bin/env bash
# Plants the MarbleFox specimen in a Wine prefix: every variant copied under
# "C:\Program Files" and started (rule 1 twice), and every registry remnant
# Foxbane cleans up (remnants.reg), with one of the control's two files.
#
#   WINEPREFIX=... FOXBANE_DRIVER=fbdriver.exe SESSION_DIR=dir plant.sh SPECIMENS-FOLDER
#
# REMNANT_VIEWS names the registry views that get the remnants: "/reg:64"
# (the default), "/reg:32" (where the 32-bit adware itself writes them on
# 64-bit Windows), or both. The 32-bit view also gets remnants-32bit.reg.
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

for view in ${REMNANT_VIEWS:-/reg:64}; do
  wine_run reg import "$(wine_path "$E2E_DIR/remnants.reg")" "$view" ||
    fail "reg could not import remnants.reg ($view): $(cat "$SESSION_DIR/err")"
  if [ "$view" == /reg:32 ]; then
    wine_run reg import "$(wine_path "$E2E_DIR/remnants-32bit.reg")" /reg:32 ||
      fail "reg could not import remnants-32bit.reg: $(cat "$SESSION_DIR/err")"
  fi
done
launch specimens "${POSITIVE_PROCESSES[@]}" "${NEGATIVE_PROCESSES[@]}"
