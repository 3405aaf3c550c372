"""The figures beside their goals: the printed table and the goal verdicts
kept in bench.json."""

from __future__ import annotations

from dataclasses import dataclass
from typing import List, Sequence, Tuple

POLL_MS = 65.0
LATENCY_P99_LIMIT_MS = POLL_MS + 1.0
AFTER_READ_P99_LIMIT_MS = 1.0
IDLE_RATIO_LIMIT = 1.25
SIZE_LIMIT_BYTES = 64 * 1024


@dataclass(frozen=True)
class Goal:
    path: str     # dotted path into the figures
    label: str
    limit: float  # the figure must not exceed it


GOALS = (
    Goal("latency.adoption.latency_ms.p99", "key to Beyond TV by adoption, p99 (ms)",
         LATENCY_P99_LIMIT_MS),
    Goal("latency.adoption.after_read_ms.p99", "  after the reading tick, p99 (ms)",
         AFTER_READ_P99_LIMIT_MS),
    Goal("latency.active.latency_ms.p99", "key to active Beyond TV, p99 (ms)",
         LATENCY_P99_LIMIT_MS),
    Goal("latency.active.after_read_ms.p99", "  after the reading tick, p99 (ms)",
         AFTER_READ_P99_LIMIT_MS),
    Goal("idle.process_ratio", "idle CPU, product / baseline", IDLE_RATIO_LIMIT),
    Goal("footprint.size_bytes", "executable size (bytes)", SIZE_LIMIT_BYTES),
)


def lookup(figures: dict, path: str):
    value = figures
    for key in path.split("."):
        if not isinstance(value, dict) or key not in value:
            return None
        value = value[key]
    return value


def verdicts(figures: dict) -> List[dict]:
    """Each goal with its figure and whether it was met (None: not measured)."""
    out = []
    for goal in GOALS:
        value = lookup(figures, goal.path)
        out.append({"figure": goal.path, "value": value, "limit": goal.limit,
                    "met": None if value is None else value <= goal.limit})
    return out


Row = Tuple[str, str, str, str]


def _fmt(value) -> str:
    if value is None:
        return "n/a"
    if isinstance(value, float):
        return "%.3g" % value if abs(value) < 10 else "%.1f" % value
    return str(value)


def _values(figures: dict, paths: Sequence[str]) -> str:
    return " / ".join(_fmt(lookup(figures, p)) for p in paths)


def _goal_row(figures: dict, goal: Goal) -> Row:
    value = lookup(figures, goal.path)
    verdict = "n/a" if value is None else ("met" if value <= goal.limit else "MISSED")
    return goal.label, _fmt(value), "<= %g" % goal.limit, verdict


def _latency_rows(figures: dict, mode: str) -> List[Row]:
    base = "latency.%s." % mode
    goals = {g.path: g for g in GOALS}
    return [
        _goal_row(figures, goals[base + "latency_ms.p99"]),
        ("  p50 / p95 / max (ms)",
         _values(figures, [base + "latency_ms." + k for k in ("p50", "p95", "max")]),
         "the poll alone: mean 32.5, max 65", ""),
        _goal_row(figures, goals[base + "after_read_ms.p99"]),
        ("    p50 / p95 / max (ms)",
         _values(figures, [base + "after_read_ms." + k for k in ("p50", "p95", "max")]),
         "", ""),
        ("  samples / lost / queued / late",
         _values(figures, [base + k for k in ("latency_ms.count", "lost", "queued", "late")]),
         "", ""),
    ]


def _info(label: str, value: str, reference: str = "") -> Row:
    return label, value, reference, ""


def rows(figures: dict) -> List[Row]:
    goals = {g.path: g for g in GOALS}
    return _latency_rows(figures, "adoption") + [
        _info("  adoptions ended by Power: closes seen / Power keys",
              _values(figures, ["latency.adoption.closes_seen", "latency.adoption.power_keys"])),
    ] + _latency_rows(figures, "active") + [
        _info("a posted key alone: p50 / p95 / p99 / max (ms)",
              _values(figures, ["latency.reference.delivery_ms." + k
                                for k in ("p50", "p95", "p99", "max")]),
              "floor of the share after the reading tick"),
        _goal_row(figures, goals["idle.process_ratio"]),
        _info("  CPU ms: product / baseline",
              _values(figures, ["idle.cpu.product.cpu_ms", "idle.cpu.baseline.cpu_ms"]),
              "over %s s, at once" % _fmt(lookup(figures, "idle.seconds"))),
        _info("  wineserver CPU ms: product's / baseline's",
              _values(figures, ["idle.cpu.product_wineserver.cpu_ms",
                                "idle.cpu.baseline_wineserver.cpu_ms"]),
              "with server: ratio %s" % _fmt(lookup(figures, "idle.with_wineserver_ratio"))),
        _goal_row(figures, goals["footprint.size_bytes"]),
        _info("  imports: DLLs / functions",
              _values(figures, ["footprint.import_dlls", "footprint.import_functions"])),
        _info("private memory after start (KiB)",
              _fmt(lookup(figures, "idle.memory_kib.after_start.product.private")),
              "baseline %s" % _fmt(lookup(figures,
                                          "idle.memory_kib.after_start.baseline.private"))),
        _info("start to filter bound / first poll (ms)",
              _values(figures, ["startup.product.filter_bound_ms",
                                "startup.product.first_poll_ms"]),
              "baseline first tick %s" % _fmt(lookup(figures, "startup.baseline.first_tick_ms"))),
        _info("start to main window seen (ms)",
              _fmt(lookup(figures, "startup.product.window_seen_ms")),
              "baseline %s" % _fmt(lookup(figures, "startup.baseline.window_seen_ms"))),
        _info("machine load, 1-min average: latency / idle phase",
              " / ".join(_load(figures, phase) for phase in ("latency", "idle")),
              "other work on the CPUs widens the tails"),
    ]


def _load(figures: dict, phase: str) -> str:
    before = lookup(figures, phase + ".phase.load_before")
    after = lookup(figures, phase + ".phase.load_after")
    return "n/a" if not before or not after else "%.2f-%.2f" % (before[0], after[0])


def table(figures: dict) -> str:
    """The rows as aligned text, with a header."""
    lines = [("figure", "measured", "goal / beside", "")] + rows(figures)
    widths = [max(len(r[i]) for r in lines) for i in range(3)]
    return "\n".join(("%-*s  %*s  %-*s  %s" % (widths[0], r[0], widths[1], r[1], widths[2], r[2],
                                               r[3])).rstrip() for r in lines)
