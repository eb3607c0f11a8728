#!/usr/bin/env bash
# The built specimen variants hold what their names promise, as the scan
# would see it (the five rules over their bytes), and fbdriver, which runs
# during every scan, holds no detection text at all.
set -euo pipefail
: "${FOXBANE_SPECIMENS:?}" "${FOXBANE_DRIVER:?}"

RULES=("cdn.mfxnet.com|M.KAR" "www.marblefox.ws|LaunchPad" "cdn.mfx|net.com|M.KA" "mf3_lp|aelyB"
       "AinstCore|LpShell|b32")
status=0

holds() {  # FILE TEXT: TEXT occurs in FILE as single-byte text
  grep -q -a -F -- "$2" "$1"
}

# The first rule (1 to 5) whose texts all occur in FILE, or 0.
first_rule() {
  local number=0 rule text all
  for rule in "${RULES[@]}"; do
    number=$((number + 1))
    all=1
    IFS='|' read -r -a texts <<<"$rule"
    for text in "${texts[@]}"; do holds "$1" "$text" || { all=0; break; }; done
    [ "$all" -eq 1 ] && { echo "$number"; return; }
  done
  echo 0
}

expect_rule() {  # VARIANT RULE
  local actual
  actual="$(first_rule "$FOXBANE_SPECIMENS/specimen-$1.exe")"
  if [ "$actual" != "$2" ]; then
    echo "FAILED: specimen-$1.exe meets rule $actual, expected $2" >&2
    status=1
  fi
}

for rule in 1 2 3 4 5; do expect_rule "rule$rule" "$rule"; done
expect_rule guarded 2
for negative in plain capitals half wide; do expect_rule "$negative" 0; done

# Rule 3's variant holds its two halves apart, not the whole domain.
holds "$FOXBANE_SPECIMENS/specimen-rule3.exe" cdn.mfxnet.com && { echo "FAILED: rule3 holds the whole domain" >&2; status=1; }
# The wide variant does hold every text, as 16-bit characters.
for rule in "${RULES[@]}"; do
  IFS='|' read -r -a texts <<<"$rule"
  for text in "${texts[@]}"; do
    pattern=""
    for ((i = 0; i < ${#text}; i++)); do
      char="${text:i:1}"
      [ "$char" == . ] && char='\.'
      pattern+="$char\\x00"
    done
    grep -q -a -P -- "$pattern" "$FOXBANE_SPECIMENS/specimen-wide.exe" ||
      { echo "FAILED: specimen-wide.exe lacks $text in 16-bit characters" >&2; status=1; }
    holds "$FOXBANE_DRIVER" "$text" && { echo "FAILED: fbdriver.exe holds $text" >&2; status=1; }
  done
done
[ "$status" -eq 0 ] && echo PASSED
exit "$status"
