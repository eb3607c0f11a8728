#!/usr/bin/env bash
# The detected program's folder, one of the user's, is swapped for a link to
# the system's folder between the results and the cleanup, with a file of
# the same name there: the cleanup keeps and deletes nothing through it, says
# nothing of it, and the system's folder stays exactly as it was.
source "$(dirname "$0")/lib.sh"
e2e_begin swapped_folder

FOLDER='C:\users\Public\Bad'
DETECTED="$FOLDER\\specimen-rule4.exe"
SYSTEM='C:\windows\system32'
mkdir -p "$(linux_path "$FOLDER")"
cp "$FOXBANE_SPECIMENS/specimen-rule4.exe" "$(linux_path "$DETECTED")"
echo "the system's own" >"$(linux_path "$SYSTEM\\specimen-rule4.exe")"
system_state() { (cd "$(linux_path "$SYSTEM")" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }

launch specimens "$DETECTED"
start_foxbane
drive click Scan
wait_for_results_step
system_state >"$SESSION_DIR/system-before"
mv "$(linux_path "$FOLDER")" "$(linux_path "$FOLDER.real")"
ln -s "$(linux_path "$SYSTEM")" "$(linux_path "$FOLDER")"
drive click "Delete File(s) and Cleanup >>"
drive wait-visible activityframe 60
drive text LogText
grep -a -q '^\[CLEANUP\] Deleted File' "$SESSION_DIR/out" && fail "a deletion reported: $(cat "$SESSION_DIR/out")"
system_state >"$SESSION_DIR/system-after"
diff "$SESSION_DIR/system-before" "$SESSION_DIR/system-after" >&2 || fail "the system folder changed"
expect_file "$FOLDER.real\\specimen-rule4.exe" present
drive click Exit
expect_foxbane_exit 0
echo "PASSED"
