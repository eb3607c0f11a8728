#!/usr/bin/env bash
# The quarantine and the restore trust nothing a lesser program can write.
# A Quarantine folder that is a link to the system's folder takes nothing,
# removes nothing and writes nothing there, and the user is told. A journal
# edited after the cleanup (without the key) and one sealed with the key
# that names a system file and a value outside the adware's places are
# refused whole: neither the file nor the value appears, and the adware is
# not put back.
source "$(dirname "$0")/lib.sh"
e2e_begin trusted_quarantine
plant
cp "$(dirname "$FOXBANE_EXE")/foxbane-restore.exe" "$(linux_path "$FOXBANE_FOLDER")/"

QUARANTINE='C:\ProgramData\Foxbane\Quarantine'
SYSTEM='C:\windows\system32'
VICTIM="$SYSTEM\\foxbane-victim.dll"
IFEO='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Image File Execution Options\sethc.exe'
system_files() { (cd "$(linux_path "$SYSTEM")" && find . | sort); }

# --- A link where the quarantine's folder belongs ------------------------------
system_files >"$SESSION_DIR/system-before"
mkdir -p "$(linux_path 'C:\ProgramData')"
ln -s "$(linux_path "$SYSTEM")" "$(linux_path 'C:\ProgramData\Foxbane')"
start_foxbane
drive click Scan
wait_for_results_step
drive msgbox ok 30  # the results step keeps nothing either, and says so
grep -qF "Foxbane removed nothing that it would have had to keep a copy of: programs that do not run as an administrator could change the folder where it keeps those copies, $QUARANTINE." \
  "$SESSION_DIR/out" || fail "the message: [$(cat "$SESSION_DIR/out")]"
drive click "Delete File(s) and Cleanup >>"
drive wait-visible activityframe 60
drive text LogText
grep -q '^\[CLEANUP\]' "$SESSION_DIR/out" && fail "entries beside a linked quarantine: $(cat "$SESSION_DIR/out")"
wine_run "$FOXBANE_DRIVER" msgbox ok 1 && fail "told twice: [$(cat "$SESSION_DIR/out")]"
drive click Exit
expect_foxbane_exit 0
system_files >"$SESSION_DIR/system-after"
diff "$SESSION_DIR/system-before" "$SESSION_DIR/system-after" >&2 || fail "the system folder changed"
for file in "$RULE1" "$DPF_PRESENT"; do expect_file "$file" present; done
rm "$(linux_path 'C:\ProgramData\Foxbane')"

# --- A cleanup, then its journal changed ----------------------------------------
launch restarted "${POSITIVE_PROCESSES[@]}"
start_foxbane
scan_and_clean >/dev/null
drive click Exit
expect_foxbane_exit 0
session="$(tr -d '\r' <"$(linux_path "$QUARANTINE\\sessions.txt")" | tail -n 1)"
journal="$(linux_path "$QUARANTINE\\$session\\journal.txt")"
cp "$journal" "$SESSION_DIR/genuine-journal"
expect_file "$RULE1" absent

# restore_refused WHAT: foxbane-restore.exe refuses the session, puts nothing
# back and changes nothing outside the adware's places.
restore_refused() {
  launch restore "$FOXBANE_FOLDER\\foxbane-restore.exe"
  drive msgbox ok 30
  grep -qF "Foxbane will not put back what it removed in its cleanup of $session: " "$SESSION_DIR/out" ||
    fail "$1: the restore said [$(cat "$SESSION_DIR/out")]"
  drive msgbox ok 30
  grep -q "^There is nothing to put back" "$SESSION_DIR/out" || fail "$1: then [$(cat "$SESSION_DIR/out")]"
  expect_equal "$(exit_code_within restore "$(pid_of restore "$FOXBANE_FOLDER\\foxbane-restore.exe")" 10)" 0 \
    "$1: the restore's exit code"
  expect_file "$VICTIM" absent
  expect_key "$IFEO" absent
  expect_file "$RULE1" absent
}

# Without the key: a kept file's place made a system file's, and a value added.
escaped_rule1="${RULE1//\\/\\\\}"
sed -i "s|^file\t${escaped_rule1}\t|file\t${VICTIM//\\/\\\\}\t|" "$journal"
cmp -s "$journal" "$SESSION_DIR/genuine-journal" && fail "the journal was not edited"
restore_refused "a path changed"
cp "$SESSION_DIR/genuine-journal" "$journal"
printf 'value\t80000002\t0\t%s\tGlobalFlag\t4\t00020000\t%s\n' "${IFEO#HKLM\\}" "$(printf 'A%.0s' $(seq 64))" >>"$journal"
restore_refused "a value added"

# With the key, as only an administrator (or anyone under Wine) could: each
# line sealed as Foxbane seals it, naming places no cleanup changes.
key_hex="$(od -A n -t x1 -v "$(linux_path "$QUARANTINE\\journal.key")" | tr -d ' \n')"
last_seal="$(tail -n 1 "$SESSION_DIR/genuine-journal" | tr -d '\r' | awk -F'\t' '{ print $NF }')"
seal() {  # BODY: prints BODY, a tab and its seal, chained to the line before
  last_seal="$(printf '%s\n%s' "$last_seal" "$1" | openssl dgst -sha256 -mac HMAC -macopt "hexkey:$key_hex" |
    awk '{ print toupper($NF) }')"
  printf '%s\t%s\n' "$1" "$last_seal"
}
kept="$(grep -a "^file"$'\t'"${escaped_rule1}"$'\t' "$SESSION_DIR/genuine-journal" | head -n 1 | cut -f 3-5)"
cp "$SESSION_DIR/genuine-journal" "$journal"
{
  seal "$(printf 'file\t%s\t%s' "$VICTIM" "$kept")"
  seal "$(printf 'value\t80000002\t0\t%s\tGlobalFlag\t4\t00020000' "${IFEO#HKLM\\}")"
} >>"$journal"
restore_refused "sealed with the key"
echo "PASSED"
