#!/usr/bin/env bash
# The guided tour: installs what is missing, builds, then plays a scripted
# session of the program under Wine on a virtual display of its own, with the
# virtual remote, and saves a screenshot after every step (build/tour by
# default). Exits 0 only when every step showed what it should.
#   scripts/tour.sh [--out DIR]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT"
WIDTH=$(marlow_width)
setup_and_build "$WIDTH" MarlowRemote CardEmulator FakeTvApp probe VirtualRemote >/dev/null
MARLOW_WIDTH=$WIDTH PYTHONPATH=$MARLOW_ROOT/tools exec /usr/bin/python3 -m winebench.tour "$@"
