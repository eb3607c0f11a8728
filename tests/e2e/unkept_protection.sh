#!/usr/bin/env bash
# The infected machine where the quarantine cannot be made (a file that
# anyone could have put there stands where its folder would go): nothing is
# removed, the user is told once, and yet the kill bits are written in both
# views over the flags that could not be kept, and the protection is claimed
# because they read back as set.
source "$(dirname "$0")/lib.sh"
e2e_begin unkept_protection
plant
mkdir -p "$(linux_path 'C:\ProgramData\Foxbane')"
echo "Not a folder." >"$(linux_path 'C:\ProgramData\Foxbane\Quarantine')"
start_foxbane

drive click Scan
drive msgbox ok 60
printf 'Foxbane removed nothing that it would have had to keep a copy of: programs that do not run as an administrator could change the folder where it keeps those copies, C:\\ProgramData\\Foxbane\\Quarantine.' >"$SESSION_DIR/expected-message"
cmp -s "$SESSION_DIR/out" "$SESSION_DIR/expected-message" || fail "message text: [$(cat -A "$SESSION_DIR/out")]"
wait_for_results_step
drive click "Delete File(s) and Cleanup >>"
drive wait-visible activityframe 60
drive text LogText
expect_equal "$(sed -n 's/\r$//; /^\[CLEANUP\]\|^\[PROTECTION\]/p' "$SESSION_DIR/out")" \
  "${PROTECTION_ENTRY%%$'\r'*}" "the cleanup's entries"
wine_run "$FOXBANE_DRIVER" msgbox ok 1 && fail "a second message box: [$(cat "$SESSION_DIR/out")]"

expect_value "HKCU\\$RUN_KEY" MarbleFox present
expect_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' np present
expect_file "$RULE1" present
compatibility='HKLM\SOFTWARE\Microsoft\Internet Explorer\ActiveX Compatibility'
for view in "${REGISTRY_VIEWS[@]}"; do
  expect_dword "$compatibility\\{f0aa2376-f073-4e57-86e8-0238f99087c7}" "Compatibility Flags" 0x400 "$view"
  expect_dword "$compatibility\\{29cac0b6-d6c2-4395-8289-bf3fbf27ad5f}" "Compatibility Flags" 0x400 "$view"
done
drive click Exit
expect_foxbane_exit 0
echo "PASSED"
