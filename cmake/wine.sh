# Wine helpers shared by scripts/, tests/e2e/ and wine-run.sh (sourced; POSIX
# sh, as wine-run.sh is).
# shellcheck shell=sh

# Debian's 64-bit loader, which it keeps off the PATH.
WINE64_LOADER="$(command -v wine64 2>/dev/null || echo /usr/lib/wine/wine64)"

# Debian's wine32 (i386) puts the 32-bit loader here; without it Wine runs
# 64-bit programs only.
wine32_installed() {
  [ -x /usr/lib/wine/wine ]
}

# pe_is_64bit FILE: FILE is a 64-bit Windows program (PE32+).
pe_is_64bit() {
  [ -f "$1" ] || return 1
  # Where the PE header starts, then its optional header's magic number.
  pe_header="$(od -A n -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')"
  [ -n "$pe_header" ] &&
    [ "$(od -A n -t x2 -j $((pe_header + 24)) -N 2 "$1" 2>/dev/null | tr -d ' ')" = 020b ]
}

# wine_loader PROGRAM: the Wine loader to start PROGRAM with. Once the
# 32-bit Wine is installed, `wine` is its loader: that one starts a 64-bit
# program through an extra start.exe process, which a test would see among
# the running processes, and it runs Wine's own tools (reg, regedit, cmd) as
# 32-bit programs, which see the registry's 32-bit view. So a 64-bit program,
# and anything that is not a program file, goes to the 64-bit loader.
wine_loader() {
  if wine32_installed && [ -x "$WINE64_LOADER" ] && { [ ! -f "$1" ] || pe_is_64bit "$1"; }; then
    echo "$WINE64_LOADER"
  else
    echo wine
  fi
}

# prefix_is_ready PREFIX: booted, and able to run 32-bit programs when the
# 32-bit Wine is installed. A prefix booted before wine32 was installed has
# an empty syswow64, and 32-bit programs fail to start in it.
prefix_is_ready() {
  [ -f "$1/system.reg" ] || return 1
  ! wine32_installed || [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]
}
