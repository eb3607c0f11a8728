# Shared by scripts/test and scripts/run: installs what is missing, builds,
# and manages the Wine prefix, the wineserver and Xvfb inside build/.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko install prompts

# Loaders and prefixes, as the end-to-end tests use them; a failing step
# says which.
source "$ROOT/cmake/wine.sh"
source "$ROOT/cmake/fail_loudly.sh"

# Asked once, here: every script, ctest and test below inherits the answer.
mkdir -p "$BUILD"
host_runs_i386 "$BUILD" || true

PACKAGES=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64
          xvfb xauth fonts-liberation imagemagick clang libclang-rt-14-dev x11-utils)
# wine32:i386 runs the 32-bit build's programs where the kernel runs i386
# code at all; it comes from the i386 architecture.
if host_runs_i386; then
  PACKAGES+=(wine32:i386)
fi

# install_missing [PACKAGE...]: the packages named, or all of PACKAGES.
install_missing() {
  local wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${PACKAGES[@]}")
  local missing=()
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local add_i386=false
  if [[ " ${missing[*]}" == *":i386"* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    add_i386=true
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    local commands="sudo apt-get update && sudo apt-get install ${missing[*]}"
    if $add_i386; then
      commands="sudo dpkg --add-architecture i386 && $commands"
    fi
    echo "Run as root, or install them with: $commands" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  if $add_i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$(nproc)"
}

XVFB_PID=""
start_wine() {
  if ! prefix_is_ready "$WINEPREFIX"; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wine_boot >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p   # persistent: each Wine start then costs a fraction of a second
}

start_xvfb() {
  local display=99
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display}" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

stop_services() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
