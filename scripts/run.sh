#!/usr/bin/env bash
# Shows MarlowRemote.exe to a person: installs what is missing, builds the
# program and the bench's parts in build/, then runs it under Wine with an
# emulated TV card, the three fake TV applications installed and the virtual
# remote on the screen, until it ends. Uses $DISPLAY when set, else an Xvfb
# display of its own (printed).
# The prefix stays in build/run-prefix between runs; feed, logs and the
# program's stderr go to build/run/.
#   scripts/run.sh [--trace]    --trace: stderr is the API relay trace
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT"

BUILD=$MARLOW_ROOT/build
setup_and_build MarlowRemote CardEmulator FakeTvApp probe VirtualRemote
mkdir -p "$BUILD/run"
PYTHONPATH=$MARLOW_ROOT/tools exec /usr/bin/python3 -m winebench.scenario run \
  --prefix "$BUILD/run-prefix" --work "$BUILD/run" --bin "$BUILD/bin" "$@"
