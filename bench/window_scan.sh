#!/usr/bin/env bash
# The scan pass through the real window, under Wine: the time from a click on
# "Scan" to the nothing-found panel with 24 running programs whose
# executables are 48 MiB each, less the same with 24 programs of a few KiB
# (the fixed part: the listing, the panels, Wine's own programs), against
# the tightest plain read of the same files (read_path_bench --read) less the
# read of the small ones. Best of ROUNDS rounds (7 unless set), the scans'
# medians below; each Foxbane is started anew for every scan, the files stay
# in the page cache.
#
#   bench/window_scan.sh BUILD [OTHER-FOXBANE.EXE...]
#
# BUILD: a 64-bit build folder with the benchmarks on (FOXBANE_BENCHMARKS=ON)
# and the targets read_path_bench, foxbane, fbdriver and foxbane_specimens
# built. Each other foxbane.exe (an older build, say) is timed in the same
# rounds, in turn with BUILD's, so that their ratios come from one run.
# Needs Xvfb; keeps its Wine prefix and files in BUILD/window-scan.
set -euo pipefail

BUILD="$(cd "${1:?usage: bench/window_scan.sh BUILD [OTHER-FOXBANE.EXE...]}" && pwd)"
shift
PROGRAMS=("$BUILD/foxbane.exe")
for other in "$@"; do PROGRAMS+=("$(cd "$(dirname "$other")" && pwd)/$(basename "$other")"); done
ROUNDS="${ROUNDS:-7}"
COUNT=24
BIG_MIB=48

export FOXBANE_DRIVER="$BUILD/fbdriver.exe"
export FOXBANE_E2E_PREFIXES="$BUILD/window-scan"
export SESSION_DIR="$FOXBANE_E2E_PREFIXES/session"
READ_BENCH="$BUILD/bench/read_path_bench.exe"
SPECIMEN="$BUILD/specimens/specimen-plain.exe"
for needed in "${PROGRAMS[@]}" "$FOXBANE_DRIVER" "$READ_BENCH" "$SPECIMEN"; do
  [ -f "$needed" ] || { echo "missing: $needed" >&2; exit 1; }
done
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/tests/e2e/session.sh"

bash "$ROOT/tests/e2e/template.sh" >/dev/null
rm -rf "$SESSION_DIR"
mkdir -p "$SESSION_DIR"
copy_prepared_prefix "$SESSION_DIR/prefix"
trap stop_session EXIT
start_private_display

# The programs: the specimen (it only waits), made large by bytes after its
# image that no loader maps.
FOLDER='C:\Program Files\Timed'
mkdir -p "$(linux_path "$FOLDER")"
head -c $((BIG_MIB << 20)) /dev/urandom >"$SESSION_DIR/tail"
for n in $(seq "$COUNT"); do
  cp "$SPECIMEN" "$(linux_path "$FOLDER")/small-$n.exe"
  cp "$SPECIMEN" "$(linux_path "$FOLDER")/big-$n.exe"
  cat "$SESSION_DIR/tail" >>"$(linux_path "$FOLDER")/big-$n.exe"
  truncate -s "${BIG_MIB}M" "$(linux_path "$FOLDER")/big-$n.exe"
done
for i in "${!PROGRAMS[@]}"; do
  mkdir -p "$(linux_path "C:\\Foxbane$i")"
  cp "${PROGRAMS[$i]}" "$(linux_path "C:\\Foxbane$i")/foxbane.exe"
done

# time_scan KIND ROUND I: one scan by program I, its milliseconds appended to
# $SESSION_DIR/KIND-I.
time_scan() {
  local name="foxbane-$1-$2-$3" exe="C:\\Foxbane$3\\foxbane.exe"
  launch "$name" "$exe"
  drive wait-visible Command1 30
  drive time-scan 120
  cat "$SESSION_DIR/out" >>"$SESSION_DIR/$1-$3"
  drive click Exit
  [ "$(exit_code_within "$name" "$(pid_of "$name" "$exe")" 30)" == 0 ] || fail "$exe did not end"
}

for kind in small big; do
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1
  programs=()
  for n in $(seq "$COUNT"); do programs+=("$FOLDER\\$kind-$n.exe"); done
  launch "$kind" "${programs[@]}"
  # The read too in every round, so that it meets the machine's quiet
  # moments as often as the scans do.
  for round in $(seq "$ROUNDS"); do
    wine_run "$READ_BENCH" --read "${programs[@]}" || fail "read_path_bench --read: $(cat "$SESSION_DIR/err")"
    sed -n 's/^tightest read: \([0-9.]*\) ms.*/\1/p' "$SESSION_DIR/out" >>"$SESSION_DIR/read-$kind"
    for i in "${!PROGRAMS[@]}"; do time_scan "$kind" "$round" "$i"; done
  done
done

best() { sort -g "$SESSION_DIR/$1" | head -n 1; }
median() { sort -g "$SESSION_DIR/$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
read_small="$(best read-small)"
read_big="$(best read-big)"
read_part="$(awk -v b="$read_big" -v s="$read_small" 'BEGIN { print b - s }')"
echo "$COUNT running programs of $BIG_MIB MiB against $COUNT of $(stat -c %s "$SPECIMEN") bytes;" \
  "milliseconds, best of $ROUNDS rounds (the read: also of its piece sizes)"
row() {  # NAME LARGE SMALL
  awk -v name="$1" -v b="$2" -v s="$3" -v r="$read_part" \
    'BEGIN { printf "%-36s %8.1f %8.1f %11.1f %7.2fx\n", name, b, s, b - s, (b - s) / r }'
}
printf '%-36s %8s %8s %11s %8s\n' "" "large" "small" "bytes part" "/ read"
row "tightest plain read" "$read_big" "$read_small"
for i in "${!PROGRAMS[@]}"; do
  row "${PROGRAMS[$i]#"$ROOT"/}" "$(best "big-$i")" "$(best "small-$i")"
done
echo "the scans' medians:"
for i in "${!PROGRAMS[@]}"; do
  row "${PROGRAMS[$i]#"$ROOT"/}" "$(median "big-$i")" "$(median "small-$i")"
done
