# Running Foxbane and other Windows programs in one Wine prefix from bash
# (sourced by the end-to-end tests, plant.sh, template.sh and scripts/demo).
# Needs WINEPREFIX, FOXBANE_DRIVER (fbdriver.exe) and SESSION_DIR, a folder
# for the outputs; FOXBANE_EXE, FOXBANE_SCREENS and FOXBANE_E2E_PREFIXES
# where the functions below use them.
# shellcheck shell=bash

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko install prompts

# wine_loader (which Wine loader starts a program), prefix_is_ready and the
# other Wine helpers; and a failing command that says so.
source "$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../cmake/fail_loudly.sh"

# Where Foxbane lives inside the prefix, so that its scan log starts fresh.
FOXBANE_FOLDER='C:\Foxbane'
SCAN_LOG='C:\Foxbane\scanlog.txt'

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# A Windows path inside the prefix as a Linux path: C:\A\b -> $WINEPREFIX/drive_c/A/b
linux_path() {
  local rest="${1#?:\\}"
  echo "$WINEPREFIX/drive_c/${rest//\\//}"
}

# A Linux path as Wine sees it, through drive Z:.
wine_path() {
  local path="$1"
  echo "Z:${path//\//\\}"
}

# wine_run PROGRAM ARGS...: runs a Windows program to its end, its output in
# $SESSION_DIR/out and $SESSION_DIR/err, never through a pipe (Wine's helper
# processes would hold a pipe open). Returns the program's exit code.
wine_run() {
  "$(wine_loader "$1")" "$@" >"$SESSION_DIR/out" 2>"$SESSION_DIR/err"
}

# drive COMMAND ARGS...: fbdriver; fails when it does.
drive() {
  wine_run "$FOXBANE_DRIVER" "$@" || fail "fbdriver $*: $(cat "$SESSION_DIR/err")"
}

# launch NAME PROGRAM...: starts Windows programs under a watcher that writes
# their ids and exit codes to $SESSION_DIR/NAME.report; returns once all have
# started.
launch() {
  local report="$SESSION_DIR/$1.report"
  shift
  "$(wine_loader "$FOXBANE_DRIVER")" "$FOXBANE_DRIVER" launch "$@" >"$report" 2>/dev/null &
  local started
  for _ in $(seq 200); do
    started="$(grep -c '^started ' "$report" 2>/dev/null)" || started=0
    [ "$started" -eq $# ] && return 0
    sleep 0.05
  done
  fail "could not start $*"
}

# launched_pids NAME PATH: the ids of the processes of PATH started by
# `launch NAME`, one a line, in starting order.
launched_pids() {
  # Through the environment: awk -v would read the backslashes as escapes.
  WANTED="$2" awk '$1 == "started" { pid = $2; sub(/^started [0-9]+ /, ""); if ($0 == ENVIRON["WANTED"]) print pid }' \
    "$SESSION_DIR/$1.report"
}

# pid_of NAME PATH: the id of the one process of PATH started by `launch NAME`.
pid_of() {
  local pids
  pids="$(launched_pids "$1" "$2")"
  [ -n "$pids" ] && [ "$(wc -l <<<"$pids")" -eq 1 ] || fail "not one process of $2 in $1: [$pids]"
  echo "$pids"
}

# exit_code NAME PID: the process's exit code, or "running".
exit_code() {
  awk -v pid="$2" '$1 == "exited" && $2 == pid { code = $3 } END { print (code == "" ? "running" : code) }' \
    "$SESSION_DIR/$1.report"
}

# exit_code_within NAME PID SECONDS: the exit code once the process has
# ended, or "running" when it has not ended within the time.
exit_code_within() {
  local tries=$(($3 * 20))
  while [ "$(exit_code "$1" "$2")" == running ] && [ "$tries" -gt 0 ]; do
    sleep 0.05
    tries=$((tries - 1))
  done
  exit_code "$1" "$2"
}

# start_private_display: an Xvfb of its own on a free display number.
XVFB_PID=""
start_private_display() {
  local number_file="$SESSION_DIR/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$number_file" ] && break
    sleep 0.05
  done
  [ -s "$number_file" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$number_file")"
}

# stop_session: ends every Windows program of the prefix and the display.
stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}

# --- Prefixes -------------------------------------------------------------------

# Booting a prefix takes far longer than copying one: template.sh prepares
# $FOXBANE_E2E_PREFIXES/template once, and every session copies it.
PREPARED_PREFIX="${FOXBANE_E2E_PREFIXES:-}/template"
PREPARED_PREFIX_LOCK="${FOXBANE_E2E_PREFIXES:-}/template.lock"

copy_prepared_prefix() {  # DESTINATION
  (
    flock -s 9
    [ -f "$PREPARED_PREFIX/.complete" ] || fail "no prepared prefix: run tests/e2e/template.sh first"
    cp -a "$PREPARED_PREFIX" "$1"
  ) 9>"$PREPARED_PREFIX_LOCK"
  export WINEPREFIX="$1"
}

# --- Foxbane ---------------------------------------------------------------------

install_foxbane() {
  mkdir -p "$(linux_path "$FOXBANE_FOLDER")"
  cp "$FOXBANE_EXE" "$(linux_path "$FOXBANE_FOLDER")/foxbane.exe"
}

# start_foxbane: foxbane.exe started under the watcher (report "foxbane"),
# its window shown.
start_foxbane() {
  launch foxbane "$FOXBANE_FOLDER\\foxbane.exe"
  drive wait-visible Command1 30
}

# The results step writes the scan log and LogText after showing its panel;
# reading a control's text returns only once it lets the window take
# messages again, which is after both.
wait_for_results_step() {
  drive wait-visible results "${1:-60}"
  drive text Label6
}

# screenshot NAME [COMMAND]: $FOXBANE_SCREENS/NAME.png, the window's client
# area, taken by fbdriver's COMMAND (screenshot, or scan-screenshot to click
# "Scan" and take it during the pass).
screenshot() {
  local bmp="$SESSION_DIR/$1.bmp"
  drive "${2:-screenshot}" "$(wine_path "$bmp")"
  convert "$bmp" "$FOXBANE_SCREENS/$1.png"
}

# start_large_programs: two harmless programs with 256 MiB executables
# (sparse), so that a scan runs long enough to be seen, as on a real machine.
start_large_programs() {
  local folder='C:\Program Files\Large Programs'
  mkdir -p "$(linux_path "$folder")"
  for n in 1 2; do
    cp "$FOXBANE_SPECIMENS/specimen-plain.exe" "$(linux_path "$folder")/large-$n.exe"
    truncate -s 256M "$(linux_path "$folder")/large-$n.exe"
  done
  launch large "$folder\\large-1.exe" "$folder\\large-2.exe"
}
