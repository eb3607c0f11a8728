#!/usr/bin/env bash
# A machine with the specimen planted: "Scan" terminates exactly the positive
# specimens, removes the startup entries that name them and logs the scan;
# the cleanup removes every remnant, logs exactly what it found, and blocks
# the control. REMNANT_VIEWS (see plant.sh) says which registry views hold
# the remnants: whichever it is, each is removed from every view and logged
# once, and the control is blocked in both views.
source "$(dirname "$0")/lib.sh"
export REMNANT_VIEWS="${REMNANT_VIEWS:-/reg:64}"
read -ra planted_views <<<"$REMNANT_VIEWS"
e2e_begin "infected_system$(tr -dc '0-9' <<<"$REMNANT_VIEWS")"
plant
start_foxbane
screenshot start

before="$SESSION_DIR/before"
running_processes >"$before"
rows="$SESSION_DIR/rows"
detected_rows "$RULE1" "$RULE2" "$RULE3" "$RULE4" "$RULE5" >"$rows"
expect_equal "$(wc -l <"$rows")" 6 "positive specimen processes running"
positive_pids="$(for path in "$RULE1" "$RULE2" "$RULE3" "$RULE4" "$RULE5"; do launched_pids specimens "$path"; done | sort -n)"
expect_equal "$(sed 's/.*: //' "$rows" | sort -n)" "$positive_pids" "the running positive specimens"

# --- The scan -----------------------------------------------------------------
drive click Scan
wait_for_results_step
expect_text Label6 "6 processes were detected as MarbleFox and were terminated:"
drive rows ResultsList
expect_equal "$(tr -d '\r\n' <"$SESSION_DIR/out")" 6 "rows of ResultsList"

for pid in $positive_pids; do
  expect_equal "$(exit_code_within specimens "$pid" 5)" 0 "exit code of positive specimen $pid"
done
for path in "${NEGATIVE_PROCESSES[@]}"; do
  expect_equal "$(exit_code specimens "$(pid_of specimens "$path")")" running "negative specimen $path"
done
running_processes >"$SESSION_DIR/after"
for pid in $(cut -f1 "$before"); do
  grep -qx "$pid" <<<"$positive_pids" && continue
  grep -q "^$pid	" "$SESSION_DIR/after" || fail "process $pid ($(grep "^$pid	" "$before" | cut -f2)) was ended"
done

# Startup entries: the results step removes them after showing its panel.
hkcu_run="HKCU\\$RUN_KEY"
hklm_run="HKLM\\$RUN_KEY"
removed_values=("$hkcu_run|MarbleFox" "$hkcu_run|MarbleFox Toolbar" "$hklm_run|MarbleFox Toolbar"
                "$hklm_run|LaunchPad Helper" "$hklm_run|MFX Shell Backup" "$hklm_run|MarbleFox 32-bit")
kept_values=("$hkcu_run|MarbleFox Case" "$hkcu_run|MarbleFox Empty" "$hkcu_run|Unrelated"
             "$hklm_run|MFX Shell Case" "$hklm_run|Specimen Negative" "$hklm_run|Empty")
for entry in "${removed_values[@]}"; do
  for view in "${REGISTRY_VIEWS[@]}"; do
    for _ in $(seq 100); do wine_run reg query "${entry%%|*}" /v "${entry#*|}" "$view" || break; sleep 0.1; done
    expect_value "${entry%%|*}" "${entry#*|}" absent "$view"
  done
done
expect_kept_values() {
  for view in "${planted_views[@]}"; do
    for entry in "${kept_values[@]}"; do expect_value "${entry%%|*}" "${entry#*|}" present "$view"; done
  done
}
expect_kept_values

scan_log_block "$rows" >"$SESSION_DIR/expected-log"
expect_bytes "$(linux_path "$SCAN_LOG")" "$SESSION_DIR/expected-log" "scanlog.txt after the scan"
activity_seed "$rows" >"$SESSION_DIR/expected-activity"
drive text LogText
expect_bytes "$SESSION_DIR/out" "$SESSION_DIR/expected-activity" "LogText after the scan"
screenshot results

# --- The cleanup ----------------------------------------------------------------
entries_for() {
  case "$1" in
    "$RULE1") printf '%s\n' "[CLEANUP] Deleted File: $RULE1" "[CLEANUP] Deleted Folder: $PROGRAM_FILES\\MarbleFox" \
                            "[CLEANUP] Deleted Uninstall Key: ${UNINSTALL_PREFIX}specimen-rule1" ;;
    "$RULE2") printf '%s\n' "[CLEANUP] Deleted File: $RULE2" ;;
    "$RULE3") printf '%s\n' "[CLEANUP] Deleted File: $RULE3" "[CLEANUP] Deleted Folder: $PROGRAM_FILES\\LaunchPad Helper" \
                            "[CLEANUP] Deleted Uninstall Key: ${UNINSTALL_PREFIX}specimen-rule3" ;;
    "$RULE4") printf '%s\n' "[CLEANUP] Deleted File: $RULE4" "[CLEANUP] Deleted Folder: $PROGRAM_FILES\\MFX Shell" ;;
    "$RULE5") printf '%s\n' "[CLEANUP] Deleted File: $RULE5" "[CLEANUP] Deleted Folder: $PROGRAM_FILES\\Active Installer" ;;
  esac
}
entries="$SESSION_DIR/entries"
declare -A cleaned=()
while IFS= read -r row; do
  path="${row% - \[PID\]: *}"
  # A second process of the same file finds nothing left.
  [ -n "${cleaned[$path]:-}" ] || entries_for "$path"
  cleaned[$path]=1
done <"$rows" >"$entries"
printf '%s\n' \
  '[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\disp' \
  '[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\np' \
  "[CLEANUP] Removed DPF Item: $DPF_PRESENT" \
  '[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Code Store Database\Distribution Units\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}' \
  '[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\CLSID\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}' \
  '[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\TypeLib\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}' \
  '[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\Activeinstaller.Ainst' \
  '[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\Activeinstaller.Ainst.1' >>"$entries"

drive click "Delete File(s) and Cleanup >>"
drive wait-visible activityframe 60
expect_panels activityframe
screenshot activity

{ cat "$SESSION_DIR/expected-log"; sed 's/$/\r/' "$entries"; printf '%s\r\n' "$PROTECTION_ENTRY"; } >"$SESSION_DIR/expected-log-2"
expect_bytes "$(linux_path "$SCAN_LOG")" "$SESSION_DIR/expected-log-2" "scanlog.txt after the cleanup"
{ cat "$SESSION_DIR/expected-activity"; while IFS= read -r entry; do printf '\r\n%s' "$entry"; done <"$entries"
  printf '\r\n%s\r\n' "$PROTECTION_ENTRY"; } >"$SESSION_DIR/expected-activity-2"
drive text LogText
expect_bytes "$SESSION_DIR/out" "$SESSION_DIR/expected-activity-2" "LogText after the cleanup"

for file in "$RULE1" "$RULE2" "$RULE3" "$RULE4" "$RULE5" "$DPF_PRESENT"; do expect_file "$file" absent; done
for folder in MarbleFox "LaunchPad Helper" "MFX Shell" "Active Installer"; do
  expect_file "$PROGRAM_FILES\\$folder" absent
done
for file in "$TOOLBAR_README" "${NEGATIVE_PROCESSES[@]}"; do expect_file "$file" present; done

uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
compatibility='HKLM\SOFTWARE\Microsoft\Internet Explorer\ActiveX Compatibility'
for view in "${planted_views[@]}"; do expect_key "$uninstall\\specimen-rule2" present "$view"; done
for view in "${REGISTRY_VIEWS[@]}"; do
  expect_key "$uninstall\\specimen-rule1" absent "$view"
  expect_key "$uninstall\\specimen-rule3" absent "$view"
  expect_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' disp absent "$view"
  expect_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' np absent "$view"
  for key in 'HKLM\SOFTWARE\Microsoft\Code Store Database\Distribution Units\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}' \
             'HKCR\CLSID\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}' \
             'HKCR\TypeLib\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}' \
             'HKCR\Activeinstaller.Ainst' 'HKCR\Activeinstaller.Ainst.1'; do
    expect_key "$key" absent "$view"
  done
  # 32-bit Internet Explorer reads its kill bits in the 32-bit view.
  expect_dword "$compatibility\\{f0aa2376-f073-4e57-86e8-0238f99087c7}" "Compatibility Flags" 0x400 "$view"
  expect_dword "$compatibility\\{29cac0b6-d6c2-4395-8289-bf3fbf27ad5f}" "Compatibility Flags" 0x400 "$view"
done
expect_kept_values

drive click Exit
expect_foxbane_exit 0
echo "PASSED"
