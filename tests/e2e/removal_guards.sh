#!/usr/bin/env bash
# What anyone can write steers nothing outside the adware's own places: a
# downloaded-control record listing system files, a UNC name and a path that
# climbs out of its folder; detected programs in a look-alike of Program
# Files and in a folder that is a link (which is not where the scan read it:
# it stays); and a scan log that is a second name for the user's own file.
# Only the control's real file and the look-alike's program go, no folder is
# removed, and the user's file is never written.
source "$(dirname "$0")/lib.sh"
e2e_begin removal_guards

DPF='C:\windows\Downloaded Program Files'
EVIL='C:\Program Files Evil\specimen-rule5.exe'
LINKED="$PROGRAM_FILES\\Linked\\specimen-rule4.exe"
KEEP='C:\users\Public\Keep'
NOTES='C:\users\Public\notes.txt'
victims=('C:\windows\system32\foxbane-victim.dll' 'C:\windows\foxbane-victim.txt' "$DPF\\Sub\\deep.ocx")

for file in "${victims[@]}" "$DPF\\ours.ocx"; do
  mkdir -p "$(dirname "$(linux_path "$file")")"
  echo "kept: $file" >"$(linux_path "$file")"
done
mkdir -p "$(dirname "$(linux_path "$EVIL")")" "$(linux_path "$KEEP")"
cp "$FOXBANE_SPECIMENS/specimen-rule5.exe" "$(linux_path "$EVIL")"
cp "$FOXBANE_SPECIMENS/specimen-rule4.exe" "$(linux_path "$KEEP")/"
ln -s "$(linux_path "$KEEP")" "$(linux_path "$PROGRAM_FILES\\Linked")"  # Wine shows it as a reparse point
echo "the user's own notes" >"$(linux_path "$NOTES")"
ln "$(linux_path "$NOTES")" "$(linux_path "$SCAN_LOG")"  # the log is a second name for them

reg_file="$SESSION_DIR/code-store.reg"
files_key='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Code Store Database\Distribution Units\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}\Contains\Files'
{
  printf 'REGEDIT4\r\n\r\n[%s]\r\n' "$files_key"
  for name in "${victims[@]}" "$DPF\\..\\foxbane-victim.txt" '\\localhost\share\ours.ocx' "$DPF\\ours.ocx"; do
    printf '"%s"=""\r\n' "${name//\\/\\\\}"
  done
} >"$reg_file"
wine_run reg import "$(wine_path "$reg_file")" /reg:64 || fail "reg could not import the record"

launch specimens "$EVIL" "$LINKED"
start_foxbane
entries="$(scan_and_clean | grep -v '^\[PROTECTION\]')"
expected="$(printf '%s\n' "[CLEANUP] Deleted File: $EVIL" \
  "[CLEANUP] Removed DPF Item: $DPF\\ours.ocx" \
  '[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Code Store Database\Distribution Units\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}')"
expect_equal "$entries" "$expected" "the cleanup's entries"

expect_file "$DPF\\ours.ocx" absent
for file in "${victims[@]}"; do expect_file "$file" present; done
for folder in 'C:\Program Files Evil' "$PROGRAM_FILES\\Linked" "$KEEP"; do expect_file "$folder" present; done
expect_file "$KEEP\\specimen-rule4.exe" present
expect_equal "$(cat "$(linux_path "$NOTES")")" "the user's own notes" "the file the log was linked to"
drive click Exit
expect_foxbane_exit 0
echo "PASSED"
