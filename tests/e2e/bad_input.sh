#!/usr/bin/env bash
# Input a damaged machine really holds: the specimen in a folder named in
# Cyrillic and CJK, a Run key of 10,000 values and one of a mebibyte, and a
# scan log that is read-only, hidden and system. The scan finds, terminates
# and unhooks the specimen by its exact path, keeps every other value, and
# the cleanup removes it; the screen shows the path as it is, the scan log in
# code page 1252 with one "?" per character that page lacks, appended to
# what the log already held.
# Wine takes file names and arguments from bash in UTF-8 only in a UTF-8
# locale; its ANSI code page is then 1252.
export LC_ALL=C.UTF-8
source "$(dirname "$0")/lib.sh"
e2e_begin bad_input

FOX_FOLDER="$PROGRAM_FILES\\Лиса 狐 Café"
FOX="$FOX_FOLDER\\specimen-rule4.exe"
# The same as code page 1252 holds them: Лиса and 狐 are missing from it, é
# is not.
FOX_FOLDER_1252="$PROGRAM_FILES\\???? ? Café"
FOX_1252="$FOX_FOLDER_1252\\specimen-rule4.exe"
hkcu_run="HKCU\\$RUN_KEY"

# in_1252 [FILE]: UTF-8 text as code page 1252 bytes.
in_1252() {
  iconv -f UTF-8 -t CP1252 "$@"
}

# attribute_flags PATH: which of R, H and S the file has, as attrib prints them.
attribute_flags() {
  wine_run cmd /c attrib "$1" || fail "attrib $1"
  sed 's/[A-Z]:\\.*//' "$SESSION_DIR/out" | tr -cd 'RHS' | fold -w1 | sort | tr -d '\n'
}

# run_value_names: the names of the values under the HKCU Run key, sorted.
run_value_names() {
  wine_run reg query "$hkcu_run" || fail "reg query $hkcu_run"
  # reg writes the data in the OEM code page: bytes, not UTF-8.
  LC_ALL=C sed -n 's/^    \(.*\)    REG_[A-Z_]*    .*/\1/p' "$SESSION_DIR/out" | sort
}

# --- The scan log, read-only, hidden and system -----------------------------------
old_log="$SESSION_DIR/old-log"
printf 'An earlier record, kept as it is: café\r\n' >"$old_log"
in_1252 "$old_log" >"$(linux_path "$SCAN_LOG")"
# Wine's attrib applies only the last of several flags: one at a time.
for flag in +r +h +s; do wine_run cmd /c attrib "$flag" "$SCAN_LOG" || fail "attrib $flag"; done
expect_equal "$(attribute_flags "$SCAN_LOG")" HRS "attributes of scanlog.txt before the scan"

# --- The specimen under a Unicode path, started -----------------------------------
mkdir -p "$(linux_path "$FOX_FOLDER")"
cp "$FOXBANE_SPECIMENS/specimen-rule4.exe" "$(linux_path "$FOX")"
launch specimens "$FOX"

# --- The Run key: 10,000 values and one of a mebibyte ------------------------------
# Every thousandth value names the specimen so that the scan must delete it
# (quoted with an argument, alone, or followed by more characters); another
# every thousandth comes close without naming it: the path as code page 1252
# would write it, with its ASCII or its other letters in capitals, or
# unexpanded.
# "Huge" holds the path in the middle of 1 MiB.
reg_text() {  # a .reg string: backslashes and quotes escaped
  local text="${1//\\/\\\\}"
  printf '%s' "${text//\"/\\\"}"
}
run_values="$SESSION_DIR/run-values.reg"
filler="$(head -c 524288 /dev/zero | tr '\0' x)"
{
  printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "HKEY_CURRENT_USER\\$RUN_KEY"
  MATCHING_1="$(reg_text "\"$FOX\" -tray")" MATCHING_2="$(reg_text "$FOX")" MATCHING_3="$(reg_text "$FOX.bak")" \
  CLOSE_1="$(reg_text "$FOX_1252")" CLOSE_2="$(reg_text 'C:\PROGRAM FILES\Лиса 狐 CAFé\SPECIMEN-RULE4.EXE')" \
  CLOSE_3="$(reg_text "$PROGRAM_FILES\\ЛИСА 狐 CafÉ\\specimen-rule4.exe")" \
  CLOSE_4="$(reg_text '%ProgramFiles%\Лиса 狐 Café\specimen-rule4.exe')" awk 'BEGIN {
    for (i = 0; i < 10000; i++) {
      data = sprintf("C:\\\\Apps\\\\app%05d.exe /startup", i)
      if (i % 1000 == 500) data = ENVIRON["MATCHING_" (int(i / 1000) % 3 + 1)]
      if (i % 1000 == 250) data = ENVIRON["CLOSE_" (int(i / 1000) % 4 + 1)]
      printf "\"Entry %05d\"=\"%s\"\r\n", i, data
    }
  }'
  printf '"Huge"="%s%s%s"\r\n' "$filler" "$(reg_text "$FOX")" "$filler"
} | iconv -f UTF-8 -t UTF-16LE >"$run_values"
wine_run regedit /S "$(wine_path "$run_values")" || fail "regedit could not import $run_values"
expect_equal "$(run_value_names | wc -l)" 10001 "values under $hkcu_run before the scan"
kept_names="$SESSION_DIR/kept-names"
awk 'BEGIN { for (i = 0; i < 10000; i++) if (i % 1000 != 500) printf "Entry %05d\n", i }' | sort >"$kept_names"

# --- The scan -------------------------------------------------------------------------
start_foxbane
rows="$SESSION_DIR/rows"
detected_rows "$FOX" >"$rows"
pid="$(pid_of specimens "$FOX")"
expect_equal "$(cat "$rows")" "$FOX - [PID]: $pid" "the running specimen"

started=$(date +%s%N)
drive click Scan
wait_for_results_step
echo "Scan to the results step, with 10,001 values under $hkcu_run: $((($(date +%s%N) - started) / 1000000)) ms"
expect_text Label6 "1 process was detected as MarbleFox and was terminated:"
drive rows ResultsList
expect_equal "$(tr -d '\r\n' <"$SESSION_DIR/out")" 1 "rows of ResultsList"
expect_equal "$(exit_code_within specimens "$pid" 5)" 0 "exit code of the specimen"

# The HKCU pass ends before the window takes messages again, so before the
# results step answered above.
run_value_names >"$SESSION_DIR/names-after"
cmp -s "$SESSION_DIR/names-after" "$kept_names" ||
  fail "values under $hkcu_run after the scan: $(diff "$kept_names" "$SESSION_DIR/names-after" | head -n 20)"

activity_seed "$rows" >"$SESSION_DIR/expected-activity"
drive text LogText
expect_bytes "$SESSION_DIR/out" "$SESSION_DIR/expected-activity" "LogText after the scan"
echo "$FOX_1252 - [PID]: $pid" >"$SESSION_DIR/rows-1252"
{ cat "$old_log"; scan_log_block "$SESSION_DIR/rows-1252"; } >"$SESSION_DIR/expected-log-text"
in_1252 "$SESSION_DIR/expected-log-text" >"$SESSION_DIR/expected-log"
expect_bytes "$(linux_path "$SCAN_LOG")" "$SESSION_DIR/expected-log" "scanlog.txt after the scan"
expect_equal "$(attribute_flags "$SCAN_LOG")" "" "attributes of scanlog.txt after the scan"
screenshot unicode-results

# --- The cleanup -----------------------------------------------------------------------
drive click "Delete File(s) and Cleanup >>"
drive wait-visible activityframe 60
expect_panels activityframe

expect_file "$FOX" absent
expect_file "$FOX_FOLDER" absent
{ cat "$SESSION_DIR/expected-activity"
  printf '\r\n%s' "[CLEANUP] Deleted File: $FOX" "[CLEANUP] Deleted Folder: $FOX_FOLDER"
  printf '\r\n%s\r\n' "$PROTECTION_ENTRY"; } >"$SESSION_DIR/expected-activity-2"
drive text LogText
expect_bytes "$SESSION_DIR/out" "$SESSION_DIR/expected-activity-2" "LogText after the cleanup"
{ cat "$SESSION_DIR/expected-log-text"
  printf '%s\r\n' "[CLEANUP] Deleted File: $FOX_1252" "[CLEANUP] Deleted Folder: $FOX_FOLDER_1252" "$PROTECTION_ENTRY"
} | in_1252 >"$SESSION_DIR/expected-log-2"
expect_bytes "$(linux_path "$SCAN_LOG")" "$SESSION_DIR/expected-log-2" "scanlog.txt after the cleanup"
screenshot unicode-activity

drive click Exit
expect_foxbane_exit 0
echo "PASSED"
