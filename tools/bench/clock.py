"""The bench's clock: Wine's performance counter in microseconds (the t_us of
every bench log), read from Linux.

Wine 8 bases QueryPerformanceCounter on CLOCK_MONOTONIC_RAW, so Linux can read
the same clock without a round trip; `qpc_offset` checks that through the
probe and gives the correction to apply should a Wine build differ.
"""

from __future__ import annotations

import time

from winebench.probe import Probe

CALIBRATION_ROUNDS = 7


def raw_us() -> int:
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 1000


def qpc_offset(probe: Probe, rounds: int = CALIBRATION_ROUNDS) -> dict:
    """Performance counter minus raw_us(), from the probe's `time` reply in
    the round trip with the shortest time (its midpoint is the best guess of
    when the probe read the counter). Returns offset_us and its uncertainty,
    half that round trip."""
    probe.time_us()  # the first call may start the probe
    best = None
    for _ in range(rounds):
        before = raw_us()
        qpc = probe.time_us()
        after = raw_us()
        if best is None or after - before < best[1] - best[0]:
            best = (before, after, qpc)
    before, after, qpc = best
    return {"offset_us": qpc - (before + after) // 2, "uncertainty_us": (after - before + 1) // 2}
