#!/usr/bin/env bash
# A detected process that Foxbane may not terminate: the guarded specimen
# denies everyone that right, so opening it for termination fails and the
# termination, tried with no handle, reports an invalid handle. The message
# box is read and dismissed; the scan's other detection is still terminated.
source "$(dirname "$0")/lib.sh"
e2e_begin termination_failure
guarded="$PROGRAM_FILES\\Guarded Specimen\\specimen-guarded.exe"
for program in "$guarded" "$RULE3"; do
  mkdir -p "$(dirname "$(linux_path "$program")")"
  cp "$FOXBANE_SPECIMENS/${program##*\\}" "$(linux_path "$program")"
done
launch specimens "$guarded" "$RULE3"
start_foxbane

drive click Scan
drive msgbox ok 60
expected="$SESSION_DIR/expected-message"
printf 'There was an error while trying to terminate the process - please try running Foxbane again.\n\nERROR: Invalid handle.\r\n' >"$expected"
cmp -s "$SESSION_DIR/out" "$expected" || fail "message text: [$(cat -A "$SESSION_DIR/out")]"

wait_for_results_step
expect_text Label6 "2 processes were detected as MarbleFox and were terminated:"
wine_run "$FOXBANE_DRIVER" msgbox ok 1 && fail "a second message box: [$(cat "$SESSION_DIR/out")]"
expect_equal "$(exit_code specimens "$(pid_of specimens "$guarded")")" running "the guarded specimen"
expect_equal "$(exit_code_within specimens "$(pid_of specimens "$RULE3")" 5)" 0 "the other detected specimen"

drive click Exit
expect_foxbane_exit 0
echo "PASSED"
