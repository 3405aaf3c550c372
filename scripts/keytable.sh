#!/usr/bin/env bash
# Rewrites the key table in README.md from the program's own key tables
# (keytable.exe, run under Wine). --check only compares: exit 1 when the
# README is out of date.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT"
WIDTH=$(marlow_width)
setup_and_build "$WIDTH" keytable >/dev/null
MARLOW_WIDTH=$WIDTH PYTHONPATH=$MARLOW_ROOT/tools exec /usr/bin/python3 -m winebench.keytable "$@"
