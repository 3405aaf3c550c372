# Shared shell helpers for the scripts and cmake/wine-run.sh (source, don't run).

MARLOW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export MARLOW_ROOT

# The environment every Wine command of the bench runs with.
marlow_wine_env() {
  export WINEARCH=win32
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

xvfb_owned_by() {  # xvfb_owned_by N PID: display N is served by PID
  local owner
  owner=$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock") || return 1
  [[ $owner == "$2" ]] && kill -0 "$2" 2>/dev/null
}

xvfb_ready() {  # xvfb_ready N PID
  xvfb_owned_by "$1" "$2" || return 2
  xdpyinfo -display ":$1" >/dev/null 2>&1
}

# start_xvfb [SCREEN]: start Xvfb on the first free display >= 90 and wait
# until it accepts connections. Sets XVFB_PID and XVFB_DISPLAY (":N").
# Another process may grab the same number at the same moment: its lock
# file then names that process, and we try the next number.
start_xvfb() {
  local screen=${1:-1024x768x24} n rc deadline
  XVFB_PID='' XVFB_DISPLAY=''
  for ((n = 90; n < 400; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    deadline=$((SECONDS + 15))
    while :; do
      xvfb_ready "$n" "$XVFB_PID"; rc=$?
      if ((rc == 0)); then XVFB_DISPLAY=":$n"; return 0; fi
      # rc 2: the lock is not (yet) ours; give our server a moment to
      # either take it or give up.
      if ! kill -0 "$XVFB_PID" 2>/dev/null || ((SECONDS >= deadline)); then break; fi
      sleep 0.05
    done
    stop_xvfb
  done
  log "no free X display found"
  return 1
}

stop_xvfb() {
  [[ -n ${XVFB_PID:-} ]] || return 0
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=''
}

# setup_and_build TARGET...: installs what is missing, then configures build/
# and builds the named targets there.
setup_and_build() {
  "$MARLOW_ROOT/scripts/setup.sh"
  cmake -S "$MARLOW_ROOT" -B "$MARLOW_ROOT/build" \
    -DCMAKE_TOOLCHAIN_FILE="$MARLOW_ROOT/cmake/mingw-w64-i686.cmake" >/dev/null
  cmake --build "$MARLOW_ROOT/build" -j2 --target "$@"
}
