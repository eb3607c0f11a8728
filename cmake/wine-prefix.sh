# Sourced by scripts/common.sh and tests/e2e/template.sh: whether a Wine
# prefix can be used as it is.
# shellcheck shell=bash

# Debian's wine32 (i386) puts the 32-bit loader here; without it Wine runs
# 64-bit programs only.
wine32_installed() {
  [ -x /usr/lib/wine/wine ]
}

# prefix_is_ready PREFIX: booted, and able to run 32-bit programs when the
# 32-bit Wine is installed. A prefix booted before wine32 was installed has
# an empty syswow64, and 32-bit programs fail to start in it.
prefix_is_ready() {
  [ -f "$1/system.reg" ] || return 1
  ! wine32_installed || [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]
}
