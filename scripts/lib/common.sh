# Shared shell helpers for the scripts and cmake/wine-run.sh (source, don't run).

MARLOW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export MARLOW_ROOT

# A 96-byte i386 ELF program that only calls exit(42).
readonly I386_PROBE='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'

# runs_32bit_programs: true when this machine executes 32-bit x86 programs,
# which 32-bit Wine needs. It runs the probe above: where the kernel refuses
# i386 code, it fails with "Exec format error" instead of exiting with 42.
# Takes a few milliseconds.
runs_32bit_programs() {
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/marlow-i386-probe-XXXXXX") || return 1
  printf '%b' "$I386_PROBE" >"$probe" && chmod +x "$probe"
  "$probe" 2>/dev/null
  rc=$?
  rm -f "$probe"
  ((rc == 42))
}

# machine_kind: one line that says which kind of machine this is.
machine_kind() {
  if runs_32bit_programs; then
    echo "this machine runs 32-bit programs"
  else
    echo "this machine does not run 32-bit programs"
  fi
}

# marlow_width: the width the Wine suites run at: $MARLOW_WIDTH when set
# (32 or 64), else 32 where this machine runs 32-bit programs, else 64.
marlow_width() {
  if [[ -n ${MARLOW_WIDTH:-} ]]; then
    [[ $MARLOW_WIDTH == 32 || $MARLOW_WIDTH == 64 ]] || die "MARLOW_WIDTH must be 32 or 64"
    echo "$MARLOW_WIDTH"
  elif runs_32bit_programs; then
    echo 32
  else
    echo 64
  fi
}

# The build tree of each width: build/ holds the product (i686, PE32),
# build64/ the x86-64 test build.
build_dir() { [[ $1 == 64 ]] && echo "$MARLOW_ROOT/build64" || echo "$MARLOW_ROOT/build"; }
toolchain_file() {
  [[ $1 == 64 ]] && echo "$MARLOW_ROOT/cmake/mingw-w64-x86_64.cmake" ||
    echo "$MARLOW_ROOT/cmake/mingw-w64-i686.cmake"
}

# marlow_wine_env [WIDTH]: the environment every Wine command of the bench
# runs with, for prefixes of WIDTH (default: marlow_width). Sets MARLOW_WINE
# to the loader to call: Debian's wine script picks the 32-bit loader
# whenever wine32 is installed, so the bench calls each width's own.
marlow_wine_env() {
  local width=${1:-$(marlow_width)}
  export MARLOW_WIDTH=$width
  if [[ $width == 64 ]]; then
    export WINEARCH=win64 MARLOW_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
  else
    export WINEARCH=win32 MARLOW_WINE=/usr/lib/wine/wine
    unset WINELOADER
  fi
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=-all
}

# unix_to_win PATH: the Windows name of an absolute Unix path (drive Z:).
unix_to_win() { local p=$1; printf 'Z:%s\n' "${p//\//\\}"; }

log() { printf '[%s] %s\n' "${0##*/}" "$*" >&2; }
die() { log "error: $*"; exit 1; }

# poll_until SECONDS CMD...: run CMD every 50 ms until it succeeds; fails after
# SECONDS.
poll_until() {
  local limit=$1; shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# setup_and_build WIDTH TARGET...: installs what is missing, then configures
# the build tree of WIDTH and builds the named targets there.
setup_and_build() {
  local width=$1 dir
  shift
  "$MARLOW_ROOT/scripts/setup.sh"
  dir=$(build_dir "$width")
  cmake -S "$MARLOW_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$width")" >/dev/null
  cmake --build "$dir" -j2 --target "$@"
}
