#!/usr/bin/env bash
# Benchmarks of MarlowRemote.exe under Wine, about 6 minutes: key-to-application
# latency, idle CPU cost and memory beside the limit (MinimalReader.exe: the
# program's card layer polled every 65 ms, nothing else) and an empty 65 ms
# window timer (TimerBaseline.exe), footprint and start-up. Installs what is missing, builds in build/, runs on an
# Xvfb display of its own, prints the figures beside their goals and writes them
# to build/bench.json (raw latency samples: build/bench-work/latency-samples.json).
# Not part of scripts/test.sh; the figures depend on the machine and its load.
#   scripts/bench.sh [--only footprint,startup,latency,idle] [--taps N] [--latency-rounds N]
#                    [--idle-seconds S] [--idle-rounds N] [--startup-runs N] [--seed N]
#                    [--keep-prefixes]
# The ratios to the yardsticks are medians over rounds, shown with their spread and load.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT"

WIDTH=$(marlow_width)
BUILD=$(build_dir "$WIDTH")
setup_and_build "$WIDTH" MarlowRemote CardEmulator FakeTvApp probe TimerBaseline MinimalReader
MARLOW_WIDTH=$WIDTH "$MARLOW_ROOT/scripts/wine-prefix.sh" template >/dev/null
MARLOW_WIDTH=$WIDTH PYTHONPATH=$MARLOW_ROOT/tools exec /usr/bin/python3 -m bench --bin "$BUILD/bin" \
  --work "$BUILD/bench-work" --out "$BUILD/bench.json" "$@"
