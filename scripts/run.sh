#!/usr/bin/env bash
# Shows MarlowRemote.exe to a person: installs what is missing, builds the
# program and the bench's parts in build/ (on a machine that does not run
# 32-bit programs: the x86-64 test build in build64/), then runs it under Wine with an
# emulated TV card, the three fake TV applications installed and the virtual
# remote on the screen, until it ends. Uses $DISPLAY when set, else an Xvfb
# display of its own (printed).
# The prefix stays in build/run-prefix between runs; feed, logs and the
# program's stderr go to build/run/.
#   scripts/run.sh [--trace]    --trace: stderr is the API relay trace
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT"

WIDTH=$(marlow_width)
BUILD=$(build_dir "$WIDTH")
if [[ $WIDTH == 64 ]]; then
  log "$(machine_kind): showing the x86-64 test build under 64-bit Wine;"
  log "the program itself is the 32-bit build/bin/MarlowRemote.exe"
fi
setup_and_build "$WIDTH" MarlowRemote CardEmulator FakeTvApp probe VirtualRemote
mkdir -p "$BUILD/run"
MARLOW_WIDTH=$WIDTH PYTHONPATH=$MARLOW_ROOT/tools exec /usr/bin/python3 -m winebench.scenario run \
  --prefix "$BUILD/run-prefix" --work "$BUILD/run" --bin "$BUILD/bin" "$@"
