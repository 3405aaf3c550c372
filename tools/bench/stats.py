"""Summaries of measured samples."""

from __future__ import annotations

import math
import statistics
from typing import Dict, List, Optional, Sequence, Tuple

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


def split(count: int, parts: int) -> List[int]:
    """count as `parts` whole numbers as even as can be, the larger first."""
    return [count // parts + (1 if i < count % parts else 0) for i in range(parts)]


def over_rounds(values: Sequence[Optional[float]], loads: Sequence[Tuple[float, float]],
                digits: int = 3) -> dict:
    """A figure measured once a round, the way a shared machine allows: the
    median of the rounds that gave a value (what a goal is judged by: one
    round that another program's burst spoiled cannot move it), their spread
    (min and max), how many they were, each round's value (None where a round
    gave none) and the range of the machine's 1-minute load average read at
    the rounds' starts and ends."""
    given = [v for v in values if v is not None]
    out: dict = {"rounds": len(given)}
    if given:
        out.update(median=round(median(given), digits), min=min(given), max=max(given))
    out["per_round"] = list(values)
    seen = [x for pair in loads for x in pair]
    if seen:
        out["load_1min"] = [min(seen), max(seen)]
    return out
