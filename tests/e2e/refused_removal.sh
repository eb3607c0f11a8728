#!/usr/bin/env bash
# The infected machine with two twists: "np" is the string "12", which the
# single-byte read takes as a number (three bytes fit its four), so it goes
# and is logged; and the control's class holds a category key the removal
# table does not name, so the system refuses to delete the class key: that
# entry is not written, the key stays, every other remnant goes and is
# logged, and the user is told once what was left.
source "$(dirname "$0")/lib.sh"
e2e_begin refused_removal
plant
current_version='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
class_key='HKCR\CLSID\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}'
wine_run reg add "$current_version" /v np /t REG_SZ /d 12 /f /reg:64 || fail "reg add np"
wine_run reg add "$class_key\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}" /f ||
  fail "reg add category"
start_foxbane

drive click Scan
wait_for_results_step
drive click "Delete File(s) and Cleanup >>"
drive msgbox ok 60
printf 'Foxbane could not remove some of what it found, so those items are still there.\n\nRestart Windows and scan again.' >"$SESSION_DIR/expected-message"
cmp -s "$SESSION_DIR/out" "$SESSION_DIR/expected-message" || fail "message text: [$(cat -A "$SESSION_DIR/out")]"
drive wait-visible activityframe 60
drive text LogText
sed -n 's/\r$//; /^\[CLEANUP\] Removed\|^\[PROTECTION\]/p' "$SESSION_DIR/out" >"$SESSION_DIR/entries"
printf '%s\n' \
  '[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\disp' \
  '[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\np' \
  "[CLEANUP] Removed DPF Item: $DPF_PRESENT" \
  '[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Code Store Database\Distribution Units\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}' \
  '[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\TypeLib\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}' \
  '[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\Activeinstaller.Ainst' \
  '[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\Activeinstaller.Ainst.1' \
  "${PROTECTION_ENTRY%%$'\r'*}" >"$SESSION_DIR/expected-entries"
cmp -s "$SESSION_DIR/entries" "$SESSION_DIR/expected-entries" ||
  fail "registry entries: $(diff "$SESSION_DIR/expected-entries" "$SESSION_DIR/entries")"

expect_value "$current_version" np absent
expect_key "$class_key\\Implemented Categories" present
for view in "${REGISTRY_VIEWS[@]}"; do
  expect_key 'HKCR\Activeinstaller.Ainst' absent "$view"
done
drive click Exit
expect_foxbane_exit 0
echo "PASSED"
