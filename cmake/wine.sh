# Wine helpers shared by scripts/, tests/e2e/ and wine-run.sh (sourced; POSIX
# sh, as wine-run.sh is).
# shellcheck shell=sh

# Debian's 64-bit loader, which it keeps off the PATH.
WINE64_LOADER="$(command -v wine64 2>/dev/null || echo /usr/lib/wine/wine64)"

# The exit code that ctest reports as a skipped test.
SKIP_EXIT_CODE=77
CANNOT_RUN_32BIT="this machine cannot run 32-bit programs"

# host_runs_i386: this machine's kernel runs i386 code. Some run 64-bit user
# code only, and the kernel's name does not tell: so a 96-byte i386 program
# that exits with 42 is run, once per process tree (the answer is exported).
# Its folder defaults to TMPDIR; give one that allows programs when that may
# be mounted noexec.
host_runs_i386() {
  if [ -z "${FOXBANE_HOST_RUNS_I386:-}" ]; then
    probe="$(mktemp "${1:-${TMPDIR:-/tmp}}/i386-probe.XXXXXX")"
    # ELF header, one loadable segment, then: mov eax,1; mov ebx,42; int 0x80.
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0'"$(
      )"'\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0'"$(
      )"'\140\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\273\52\0\0\0\315\200' >"$probe"
    chmod +x "$probe"
    FOXBANE_HOST_RUNS_I386=no
    "$probe" 2>/dev/null
    [ $? -eq 42 ] && FOXBANE_HOST_RUNS_I386=yes
    rm -f "$probe"
    export FOXBANE_HOST_RUNS_I386
  fi
  [ "$FOXBANE_HOST_RUNS_I386" = yes ]
}

# Debian's wine32 (i386) puts the 32-bit loader here; without it Wine runs
# 64-bit programs only.
wine32_installed() {
  [ -x /usr/lib/wine/wine ]
}

# The 32-bit Wine is there and this machine can run it. Once wine32 is
# installed, Debian's `wine`, `wineboot` and the other scripts start the
# 32-bit loader first, which fails on a 64-bit-only host even for 64-bit
# programs: there everything goes to the 64-bit loader instead.
wine32_usable() {
  wine32_installed && host_runs_i386
}

if ! wine32_usable; then
  # The loader Wine itself starts new processes with (services, explorer).
  export WINELOADER="$WINE64_LOADER"
fi

# pe_magic FILE: the optional header's magic number of a Windows program
# (010b for PE32, 020b for PE32+), or nothing.
pe_magic() {
  [ -f "$1" ] || return 0
  pe_header="$(od -A n -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')"
  [ -n "$pe_header" ] && od -A n -t x2 -j $((pe_header + 24)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

# pe_is_64bit FILE: FILE is a 64-bit Windows program (PE32+).
pe_is_64bit() {
  [ "$(pe_magic "$1")" = 020b ]
}

# skip_unless_runnable PROGRAM: ends the calling script as a skipped test,
# saying why, when PROGRAM is a 32-bit Windows program this machine cannot
# run. Wherever i386 code runs, a 32-bit program that fails to start fails
# its test instead.
skip_unless_runnable() {
  if [ "$(pe_magic "$1")" = 010b ] && ! host_runs_i386; then
    echo "Skipped: $CANNOT_RUN_32BIT ($1)"
    exit "$SKIP_EXIT_CODE"
  fi
}

# wine_loader PROGRAM: the Wine loader to start PROGRAM with. Where the
# 32-bit Wine runs, `wine` is its loader: that one starts a 64-bit program
# through an extra start.exe process, which a test would see among the
# running processes, and it runs Wine's own tools (reg, regedit, cmd) as
# 32-bit programs, which see the registry's 32-bit view. So a 64-bit program,
# and anything that is not a program file, goes to the 64-bit loader.
wine_loader() {
  if ! wine32_usable || [ ! -f "$1" ] || pe_is_64bit "$1"; then
    echo "$WINE64_LOADER"
  else
    echo wine
  fi
}

# wine_boot: creates or updates $WINEPREFIX. Where the 32-bit Wine runs,
# Debian's script boots both halves of the prefix; elsewhere the 64-bit
# loader boots the only half that can be used.
wine_boot() {
  if wine32_usable; then
    wineboot -i
  else
    "$WINE64_LOADER" wineboot.exe -i
  fi
}

# wine_version: Wine's version, as its loader prints it.
wine_version() {
  "$WINE64_LOADER" --version
}

# prefix_is_ready PREFIX: booted, and able to run 32-bit programs where the
# 32-bit Wine runs. A prefix booted before wine32 was installed has an empty
# syswow64, and 32-bit programs fail to start in it.
prefix_is_ready() {
  [ -f "$1/system.reg" ] || return 1
  ! wine32_usable || [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]
}
