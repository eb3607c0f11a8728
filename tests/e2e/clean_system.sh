#!/usr/bin/env bash
# A machine without the adware: "Scan" ends on the nothing-found panel, and
# "Exit" ends Foxbane having written nothing.
source "$(dirname "$0")/lib.sh"
e2e_begin clean_system
start_large_programs
start_foxbane
expect_panels
screenshot start

# One Foxbane at a time: a second start says so and ends.
launch second "$FOXBANE_FOLDER\\foxbane.exe"
drive msgbox ok 30
expect_equal "$(tr -d '\r' <"$SESSION_DIR/out")" "Foxbane is already running." "second start's message"
expect_equal "$(exit_code_within second "$(pid_of second "$FOXBANE_FOLDER\\foxbane.exe")" 10)" 0 \
  "second Foxbane's exit code"

screenshot scanning scan-screenshot
drive wait-visible clean 60
expect_panels clean
expect_text label99 "No MarbleFox processes detected."
screenshot nothing-found
for program in large-1 large-2; do
  expect_equal "$(exit_code large "$(pid_of large "C:\\Program Files\\Large Programs\\$program.exe")")" running \
    "$program after the scan"
done

drive click Exit
expect_foxbane_exit 0
expect_equal "$(ls "$(linux_path "$FOXBANE_FOLDER")")" foxbane.exe "files beside foxbane.exe"
expect_key 'HKLM\SOFTWARE\Microsoft\Internet Explorer\ActiveX Compatibility' absent
echo "PASSED"
