#!/usr/bin/env bash
# CTest's emulator for the Windows test programs:
#   wine-run.sh [--width 32|64] [--prefix-width 64] PROGRAM.exe [ARGS...]
# runs the program under the Wine of that width (each build tree's toolchain
# file names its own) in a throwaway prefix cloned from the bench's
# template of that width; --prefix-width 64 runs a 32-bit program in a 64-bit
# prefix instead, under WoW64 as on 64-bit Windows, on an Xvfb display of its
# own (or on $MARLOW_TEST_DISPLAY), and exits with the program's exit code.
# The prefix's processes, the display and the prefix itself are gone when it
# returns. The program's stdout and stderr are Wine's own: they go to CTest.
# MARLOW_WINEDEBUG overrides WINEDEBUG (default -all) for a traced run.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/common.sh"
usage="usage: wine-run.sh [--width 32|64] [--prefix-width 64] PROGRAM.exe [ARGS...]"
if [[ ${1:-} == --width ]]; then
  export MARLOW_WIDTH=${2:-}
  shift 2 || die "$usage"
fi
if [[ ${1:-} == --prefix-width ]]; then
  export MARLOW_WIDTH=${2:-}  # the prefix's width chooses the template and the loader
  shift 2 || die "$usage"
fi
marlow_wine_env
export WINEDEBUG=${MARLOW_WINEDEBUG:--all}

(($# >= 1)) || die "$usage"
prefix_tool=$MARLOW_ROOT/scripts/wine-prefix.sh

workdir=$(mktemp -d "${TMPDIR:-/tmp}/marlow-test-XXXXXX") || exit 1
export WINEPREFIX=$workdir/prefix
xvfb_pid=
cleanup() {
  [[ -f $workdir/stderr ]] && cat "$workdir/stderr" >&2
  "$prefix_tool" remove "$WINEPREFIX" || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ -n ${MARLOW_TEST_DISPLAY:-} ]]; then
  export DISPLAY=$MARLOW_TEST_DISPLAY
else
  # Xvfb takes a free display number itself and writes it once it accepts
  # connections, so that test programs run side by side never share one.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$workdir/display" 2>/dev/null &
  xvfb_pid=$!
  poll_until 60 grep -q '[0-9]' "$workdir/display" || die "Xvfb did not start"
  export DISPLAY=:$(tr -dc 0-9 <"$workdir/display")
fi
"$prefix_tool" clone "$WINEPREFIX" >/dev/null || die "could not create a Wine prefix"

# On a busy machine 64-bit Wine now and then gives a start up before the
# program runs: it prints this and ends with 1. Then the program is started
# again. Wine's stderr goes to CTest when this ends (see cleanup).
for attempt in 1 2 3 4 5; do
  "$MARLOW_WINE" "$@" </dev/null 2>"$workdir/stderr"
  rc=$?
  ((rc == 1)) && grep -q "failed to map the shared user data" "$workdir/stderr" || exit "$rc"
  log "Wine could not start $1 (attempt $attempt of 5), starting it again"
done
exit 1
