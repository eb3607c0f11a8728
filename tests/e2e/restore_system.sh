#!/usr/bin/env bash
# Cleaned and put back: the specimen planted in both registry views (or in
# those REMNANT_VIEWS names, see plant.sh) is
# cleaned, foxbane-restore.exe puts it all back, and every planted key and
# value (both views) and every file is as it was before the cleanup. A
# second cleanup then gives exactly what the first gave.
source "$(dirname "$0")/lib.sh"
export REMNANT_VIEWS="${REMNANT_VIEWS:-/reg:64 /reg:32}"
e2e_begin restore_system
plant
cp "$(dirname "$FOXBANE_EXE")/foxbane-restore.exe" "$(linux_path "$FOXBANE_FOLDER")/"

current_version='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
keys=("HKCU\\$RUN_KEY" "HKLM\\$RUN_KEY"
      "$current_version\\Uninstall\\specimen-rule1" "$current_version\\Uninstall\\specimen-rule2"
      "$current_version\\Uninstall\\specimen-rule3"
      'HKLM\SOFTWARE\Microsoft\Code Store Database\Distribution Units\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}'
      'HKCR\CLSID\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}' 'HKCR\TypeLib\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}'
      'HKCR\Activeinstaller.Ainst' 'HKCR\Activeinstaller.Ainst.1'
      'HKLM\SOFTWARE\Microsoft\Internet Explorer\ActiveX Compatibility')

# machine_state DIR: every key above exported from each view (or "absent"),
# the two configuration values, and a checksum of every file the specimen
# planted, with the folders that hold them.
machine_state() {
  mkdir -p "$1"
  local view index key
  for view in "${REGISTRY_VIEWS[@]}"; do
    index=0
    for key in "${keys[@]}"; do
      index=$((index + 1))
      local export="$1/key$index${view//[^0-9]/}.reg"
      wine_run reg export "$key" "$(wine_path "$export")" "$view" /y || echo absent >"$export"
    done
    for value in disp np; do
      wine_run reg query "$current_version" /v "$value" "$view" || true
      grep -a "$value" "$SESSION_DIR/out" >"$1/$value${view//[^0-9]/}" || echo absent >"$1/$value${view//[^0-9]/}"
    done
  done
  (cd "$(linux_path "$PROGRAM_FILES")" && find . | sort | while IFS= read -r path; do
     if [ -f "$path" ]; then echo "$(sha256sum <"$path" | cut -d' ' -f1) $path"; else echo "folder $path"; fi
   done) >"$1/files"
  sha256sum <"$(linux_path "$DPF_PRESENT")" >"$1/dpf" 2>/dev/null || echo absent >"$1/dpf"
}

expect_same_state() {  # BEFORE AFTER WHAT
  diff -r "$1" "$2" >&2 || fail "$3"
}

# clean: Foxbane started, a scan that terminates the running specimens and
# the cleanup; prints the cleanup's entries.
clean() {
  start_foxbane
  scan_and_clean
  drive click Exit
  expect_foxbane_exit 0
}

machine_state "$SESSION_DIR/before"
clean >"$SESSION_DIR/first-entries"
[ -s "$SESSION_DIR/first-entries" ] || fail "the first cleanup removed nothing"
machine_state "$SESSION_DIR/after-first"
quarantine="$(linux_path 'C:\ProgramData\Foxbane\Quarantine')"
echo "Quarantine after one cleanup: $(du -sb "$quarantine" | cut -f1) bytes in $(find "$quarantine" -type f | wc -l) files"

# --- The restore ------------------------------------------------------------
launch restore "$FOXBANE_FOLDER\\foxbane-restore.exe"
drive msgbox yes 30
grep -q "^Put back what Foxbane removed in its cleanup of " "$SESSION_DIR/out" ||
  fail "the restore's question: [$(cat "$SESSION_DIR/out")]"
drive msgbox ok 60
grep -q "has been put back\.$" "$SESSION_DIR/out" || fail "the restore's answer: [$(cat "$SESSION_DIR/out")]"
expect_equal "$(exit_code_within restore "$(pid_of restore "$FOXBANE_FOLDER\\foxbane-restore.exe")" 10)" 0 \
  "the restore's exit code"
machine_state "$SESSION_DIR/restored"
expect_same_state "$SESSION_DIR/before" "$SESSION_DIR/restored" "the restore left the machine changed"

# --- Once more: the adware starts again and is cleaned as the first time ------
launch restarted "${POSITIVE_PROCESSES[@]}"
clean >"$SESSION_DIR/second-entries"
machine_state "$SESSION_DIR/after-second"
expect_same_state "$SESSION_DIR/after-first" "$SESSION_DIR/after-second" "a second cleanup differs from the first"
cmp -s "$SESSION_DIR/first-entries" "$SESSION_DIR/second-entries" ||
  fail "the second cleanup's entries differ: $(diff "$SESSION_DIR/first-entries" "$SESSION_DIR/second-entries")"
echo "PASSED"
