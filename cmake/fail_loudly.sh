# Sourced by bash scripts that run with `set -e`: a command that fails and
# so ends the script says so in one line on stderr (the script, the line, the
# command and its exit code) instead of ending it silently.
# shellcheck shell=bash

say_failed_command() {
  echo "$(basename "$0"): line $2: \"$3\" failed with exit code $1" >&2
}
set -E   # functions and subshells inherit the trap
trap 'say_failed_command $? $LINENO "$BASH_COMMAND"' ERR
