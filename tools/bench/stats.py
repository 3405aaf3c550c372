"""Summaries of measured samples."""

from __future__ import annotations

import math
import statistics
from typing import Dict, Sequence

PERCENTILES = (50, 95, 99)


def percentile(values: Sequence[float], p: float) -> float:
    """Nearest-rank percentile: the smallest sample that at least p % of the
    samples do not exceed (so p99 of 300 samples is the 297th smallest)."""
    if not values:
        raise ValueError("no samples")
    if not 0 < p <= 100:
        raise ValueError("percentile out of (0, 100]: %r" % p)
    ordered = sorted(values)
    return ordered[max(0, math.ceil(p / 100.0 * len(ordered)) - 1)]


def summary(values: Sequence[float], digits: int = 3) -> Dict[str, float]:
    """count, mean, p50, p95, p99, min and max, rounded to `digits`."""
    out = {"count": len(values)}
    if not values:
        return out
    out["mean"] = round(statistics.fmean(values), digits)
    for p in PERCENTILES:
        out["p%d" % p] = round(percentile(values, p), digits)
    out["min"] = round(min(values), digits)
    out["max"] = round(max(values), digits)
    return out


def median(values: Sequence[float]) -> float:
    return statistics.median(values)
