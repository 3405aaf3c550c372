#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (as root, or
# through sudo). Asks dpkg first: quick, and no apt-get at all, when
# everything is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

# Wine's 32-bit part runs i386 code natively, so it is installed only where
# this machine runs 32-bit programs; elsewhere the tests run under 64-bit
# Wine, which is installed everywhere, like both MinGW-w64 toolchains.
log "$(machine_kind)"
RUNS_32BIT=0
runs_32bit_programs && RUNS_32BIT=1

PACKAGES=(
  cmake make g++                                # build; g++ builds the core natively
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  binutils-mingw-w64-i686 mingw-w64-i686-dev    # the program: 32-bit Windows
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev  # the x86-64 test build
  googletest                                    # /usr/src/googletest, built for the unit tests
  libgtest-dev                                  # GoogleTest built already, for the core's tests
  cppcheck                                      # static analysis of src/
  wine wine64                                   # 64-bit Wine
  xvfb xauth python3-pyvirtualdisplay           # displays (Xvfb, pyvirtualdisplay)
  x11-utils                                     # xdpyinfo: a display's size, in the tests
  python3-pil                                   # screenshots (ImageGrab)
  python3-psutil                                # processes: the bench's CPU and memory, a test's end
  python3-pefile                                # the executable's resources (its manifest)
  nsis                                          # the Windows installer
  python3-pytest python3-pytest-timeout         # end-to-end tests
  python3-pytest-xdist                          # ... on both cores
)
((RUNS_32BIT)) && PACKAGES+=(wine32:i386)       # 32-bit Wine

installed() {
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]
}

as_root() {
  if ((EUID == 0)); then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else die "not root and no sudo: cannot run $*"
  fi
}

missing=()
for pkg in "${PACKAGES[@]}"; do
  installed "$pkg" || missing+=("$pkg")
done
((${#missing[@]})) || exit 0

if ((RUNS_32BIT)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "adding the i386 architecture (for wine32)"
  as_root dpkg --add-architecture i386
fi
log "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
as_root apt-get update -q </dev/null
as_root apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
for pkg in "${missing[@]}"; do
  installed "$pkg" || die "$pkg did not install"
done
