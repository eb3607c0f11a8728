#!/usr/bin/env bash
# A detected control another program holds open without sharing its
# deletion: the cleanup keeps it, schedules it for deletion at the next
# restart, does not report it deleted, and says so once; everything else
# goes as usual.
source "$(dirname "$0")/lib.sh"
e2e_begin file_in_use
plant

held="$SESSION_DIR/held"
"$(wine_loader "$FOXBANE_DRIVER")" "$FOXBANE_DRIVER" hold "$DPF_PRESENT" 120 >"$held" 2>&1 &
for _ in $(seq 100); do grep -q held "$held" && break; sleep 0.1; done
grep -q held "$held" || fail "could not hold $DPF_PRESENT: $(cat "$held")"

start_foxbane
drive click Scan
wait_for_results_step
drive click "Delete File(s) and Cleanup >>"
drive msgbox ok 60
grep -q "^Some of what Foxbane removed was in use by another program\." "$SESSION_DIR/out" ||
  fail "the message: [$(cat "$SESSION_DIR/out")]"
drive text LogText
grep -a -q -F '[CLEANUP] Removed DPF Item: ' "$SESSION_DIR/out" && fail "reported deleted: $(cat "$SESSION_DIR/out")"
grep -a -q "^\[CLEANUP\] Deleted File: ${RULE1//\\/\\\\}" "$SESSION_DIR/out" || fail "the rest: $(cat "$SESSION_DIR/out")"
expect_file "$DPF_PRESENT" present
wine_run reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations ||
  fail "nothing scheduled for the restart"
grep -a -i -q 'ainst\.ocx' "$SESSION_DIR/out" || fail "the control not scheduled: $(cat "$SESSION_DIR/out")"
drive click Exit
expect_foxbane_exit 0
echo "PASSED"
