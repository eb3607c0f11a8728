#!/usr/bin/env bash
# "Disclaimer of Warranty" clicked while a scan runs: the scan goes on and its
# panel ends up above the disclaimer; "OK" then leads back to the start
# screen, and a second scan's results replace the first's.
source "$(dirname "$0")/lib.sh"
e2e_begin disclaimer_during_scan
plant
start_foxbane

drive click "Disclaimer of Warranty"
drive wait-visible disclaimer 10
expect_panels disclaimer
screenshot disclaimer
drive click OK
expect_panels

first_rows="$SESSION_DIR/first-rows"
detected_rows "$RULE1" "$RULE2" "$RULE3" "$RULE4" "$RULE5" >"$first_rows"
expect_equal "$(wc -l <"$first_rows")" 6 "positive specimen processes running"
# Both clicks are posted at once: the link's waits in the queue until the
# scan yields to it.
drive click Scan "Disclaimer of Warranty"
wait_for_results_step
expect_panels disclaimer results
expect_text Label6 "6 processes were detected as MarbleFox and were terminated:"
screenshot results-over-disclaimer

drive click OK
expect_panels

# Clicking "Scan" below proves it uncovered again.
launch again "$RULE4"
second_rows="$SESSION_DIR/second-rows"
detected_rows "$RULE4" >"$second_rows"
expect_equal "$(sed 's/.*: //' "$second_rows")" "$(pid_of again "$RULE4")" "the new specimen process"
drive click Scan
wait_for_results_step
expect_panels results
expect_text Label6 "1 process was detected as MarbleFox and was terminated:"
drive rows ResultsList
expect_equal "$(tr -d '\r\n' <"$SESSION_DIR/out")" 1 "rows of ResultsList"
activity_seed "$second_rows" >"$SESSION_DIR/expected-activity"
drive text LogText
expect_bytes "$SESSION_DIR/out" "$SESSION_DIR/expected-activity" "LogText after the second scan"
{ scan_log_block "$first_rows"; scan_log_block "$second_rows"; } >"$SESSION_DIR/expected-log"
expect_bytes "$(linux_path "$SCAN_LOG")" "$SESSION_DIR/expected-log" "scanlog.txt after two scans"

drive click Exit
expect_foxbane_exit 0
echo "PASSED"
