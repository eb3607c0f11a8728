# Shared by the end-to-end tests (sourced). Each test gets its own copy of
# the prepared Wine prefix, its own X display and wineserver, runs
# foxbane.exe from C:\Foxbane inside the prefix and drives it with fbdriver;
# the checks read that prefix's real registry, disk and scan log.
# shellcheck shell=bash
set -euo pipefail

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$E2E_DIR/session.sh"
source "$E2E_DIR/layout.sh"
: "${FOXBANE_EXE:?}" "${FOXBANE_DRIVER:?}" "${FOXBANE_SPECIMENS:?}" "${FOXBANE_SCREENS:?}"
: "${FOXBANE_E2E_PREFIXES:?}"

TIME_STAMP_PATTERN='[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{2}/[0-9]{2}/[0-9]{4}'
RUN_KEY='SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

# --- Setting up and tearing down ---------------------------------------------

e2e_end() {
  local status=$?
  stop_session
  if [ "$status" -eq 0 ]; then
    rm -rf "$SESSION_DIR"
  else
    # Kept: the outputs, the registry files, Program Files and C:\Foxbane;
    # the copy of Windows itself is most of the prefix's 700 MB.
    rm -rf "$SESSION_DIR/prefix/drive_c/windows"
    echo "Left for inspection: $SESSION_DIR" >&2
  fi
  exit "$status"
}

# e2e_begin NAME: a fresh prefix copied from the prepared one, a private
# display, a persistent wineserver, and foxbane.exe installed in C:\Foxbane;
# or the test skipped where this machine cannot run foxbane.exe at all.
e2e_begin() {
  skip_unless_runnable "$FOXBANE_EXE"
  mkdir -p "$FOXBANE_E2E_PREFIXES" "$FOXBANE_SCREENS"
  export SESSION_DIR
  SESSION_DIR="$(mktemp -d "$FOXBANE_E2E_PREFIXES/$1.XXXXXX")"
  trap e2e_end EXIT
  copy_prepared_prefix "$SESSION_DIR/prefix"
  start_private_display
  wineserver -p >/dev/null 2>&1   # nothing of Wine may hold the caller's output open
  install_foxbane
}

plant() {
  bash "$E2E_DIR/plant.sh" "$FOXBANE_SPECIMENS"
}

# scan_and_clean: "Scan", then the cleanup once the results step is done;
# prints the cleanup's entries as LogText shows them, one per line.
scan_and_clean() {
  drive click Scan
  wait_for_results_step
  drive click "Delete File(s) and Cleanup >>"
  drive wait-visible activityframe 60
  drive text LogText
  sed -n 's/\r$//; /^\[CLEANUP\]\|^\[PROTECTION\]/p' "$SESSION_DIR/out"
}

# expect_foxbane_exit CODE: Foxbane ends within 10 s with this exit code.
expect_foxbane_exit() {
  expect_equal "$(exit_code_within foxbane "$(pid_of foxbane "$FOXBANE_FOLDER\\foxbane.exe")" 10)" "$1" \
    "Foxbane's exit code"
}

# The processes running now: "pid<TAB>path" lines, in the system's order.
running_processes() {
  drive processes
  tr -d '\r' <"$SESSION_DIR/out"
}

# --- Checks ----------------------------------------------------------------------

expect_equal() {  # ACTUAL EXPECTED WHAT
  [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"
}

# expect_text CONTROL EXPECTED: the control's text, byte for byte.
expect_text() {
  drive text "$1"
  cmp -s "$SESSION_DIR/out" <(printf '%s' "$2") || fail "text of $1: expected [$2], got [$(cat "$SESSION_DIR/out")]"
}

# expect_panels PANEL...: exactly these of the five panels are shown (wholly
# or in part). Clicks are posted to the window, so the panels are read again
# for a few seconds until the window has caught up.
expect_panels() {
  local expected shown
  expected="$(printf '%s\n' "$@" | sed '/^$/d' | sort | tr '\n' ' ')"
  for _ in $(seq 50); do
    drive shown
    shown="$(awk '/^(disclaimer|scanstatus|results|clean|activityframe)$/' "$SESSION_DIR/out" | sort | tr '\n' ' ')"
    [ "$shown" == "$expected" ] && return 0
    sleep 0.1
  done
  expect_equal "$shown" "$expected" "shown panels"
}

# expect_bytes FILE EXPECTED-FILE WHAT: equal byte for byte once every time
# stamp is replaced by <time>.
expect_bytes() {
  local masked="$SESSION_DIR/masked"
  sed -E "s#$TIME_STAMP_PATTERN#<time>#g" "$1" >"$masked"
  cmp -s "$masked" "$2" || {
    echo "--- expected" >&2; cat -A "$2" >&2
    echo "--- actual" >&2; cat -A "$masked" >&2
    fail "$3 differs"
  }
}

# The registry views of a 64-bit system, as reg.exe names them.
REGISTRY_VIEWS=(/reg:64 /reg:32)

# expect_key KEY present|absent [VIEW]: in VIEW (/reg:32 or /reg:64; the
# 64-bit one when not given).
expect_key() {
  local found=absent view="${3:-/reg:64}"
  wine_run reg query "$1" "$view" && found=present
  expect_equal "$found" "$2" "key $1 ($view)"
}

# expect_value KEY NAME present|absent [VIEW]
expect_value() {
  local found=absent view="${4:-/reg:64}"
  wine_run reg query "$1" /v "$2" "$view" && found=present
  expect_equal "$found" "$3" "value $1 : $2 ($view)"
}

# expect_dword KEY NAME DATA [VIEW]: a REG_DWORD holding DATA (as reg prints
# it: 0x400).
expect_dword() {
  local view="${4:-/reg:64}"
  wine_run reg query "$1" /v "$2" "$view" || fail "no value $1 : $2 ($view)"
  expect_equal "$(awk '/REG_DWORD/ { print $NF }' "$SESSION_DIR/out" | tr -d '\r')" "$3" \
    "value $1 : $2 ($view)"
}

# expect_file PATH present|absent (a Windows path inside the prefix)
expect_file() {
  local found=absent
  [ -e "$(linux_path "$1")" ] && found=present
  expect_equal "$found" "$2" "file $1"
}

# --- What Foxbane writes -----------------------------------------------------------

SCAN_LOG_TITLE='The following processes were detected as MarbleFox:'
SCANNED_ON='Scanned on: <time> with Foxbane v1.61'
UNINSTALL_PREFIX='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\'
PROTECTION_ENTRY=$'[PROTECTION] Internet Explorer will now block any further installation attempts of known MarbleFox versions.\r\nFor the most up-to-date protection against many other spyware programs, browser hijackers and dialers, download Hedgewall (https://www.hedgewall.example/).'

# detected_rows PATH...: the rows a scan should detect among the processes
# running now, in the system's order, as "PATH - [PID]: ID" lines.
detected_rows() {
  running_processes | WANTED="$(printf '%s\n' "$@")" awk -F'\t' '
    BEGIN { n = split(ENVIRON["WANTED"], paths, "\n"); for (i = 1; i <= n; i++) detected[paths[i]] = 1 }
    $2 in detected { print $2 " - [PID]: " $1 }'
}

# scan_log_block ROWS-FILE: the block a scan appends to scanlog.txt.
scan_log_block() {
  printf '\r\n%s\r\n%s\r\n%s\r\n' "$(printf -- '-%.0s' $(seq 80))" "$SCAN_LOG_TITLE" "$SCANNED_ON"
  sed 's/$/\r/' "$1"
}

# activity_seed ROWS-FILE: what LogText holds after the scan (no line end).
activity_seed() {
  printf '%s\r\n%s\r\n%s' "$(printf -- '-%.0s' $(seq 20))" "$SCAN_LOG_TITLE" "$SCANNED_ON"
  while IFS= read -r row; do printf '\r\n%s' "$row"; done <"$1"
}
