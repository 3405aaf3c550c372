"""The figures beside their goals: the printed table and the goal verdicts
kept in bench.json.

A figure measured in rounds (stats.over_rounds) is judged by its median
over the rounds and shown with the rounds' spread and load."""

from __future__ import annotations

from dataclasses import dataclass
from typing import List, Sequence, Tuple

from winebench.surface import APPS

POLL_MS = 65.0
LATENCY_P99_LIMIT_MS = POLL_MS + 1.0
AFTER_READ_P99_LIMIT_MS = 1.0
IDLE_RATIO_LIMIT = 1.25
# 128 KiB since the players' profiles: their file's reader, its texts and
# the built-in tables took the program from 58 KiB to 95 KiB.
SIZE_LIMIT_BYTES = 128 * 1024
# Against the limit, MinimalReader.exe measured at the same time.
IDLE_TO_READER_LIMIT = 1.10
PRIVATE_TO_READER_LIMIT = 1.15
AFTER_READ_TO_POST_LIMIT = 1.25
MEASURED_APP = APPS["beyondtv"]["name"]  # the application the latency phase sends keys to


@dataclass(frozen=True)
class Goal:
    name: str     # the figure's name in bench.json's goals
    label: str
    limit: float  # the figure must not exceed it
    measured_at: str = ""  # dotted path into the figures, when not the name

    @property
    def path(self) -> str:
        return self.measured_at or self.name


GOALS = (
    Goal("latency.adoption.latency_ms.p99", "key to %s by adoption, p99 (ms)" % MEASURED_APP,
         LATENCY_P99_LIMIT_MS),
    Goal("latency.adoption.after_read_ms.p99", "  after the reading tick, p99 (ms)",
         AFTER_READ_P99_LIMIT_MS),
    Goal("latency.active.latency_ms.p99", "key to active %s, p99 (ms)" % MEASURED_APP,
         LATENCY_P99_LIMIT_MS),
    Goal("latency.active.after_read_ms.p99", "  after the reading tick, p99 (ms)",
         AFTER_READ_P99_LIMIT_MS),
    Goal("latency.adoption.after_read_ratio_to_post.p99",
         "  by adoption, after the reading tick / a bare post, p99", AFTER_READ_TO_POST_LIMIT),
    Goal("latency.active.after_read_ratio_to_post.p99",
         "  active, after the reading tick / a bare post, p99", AFTER_READ_TO_POST_LIMIT),
    Goal("idle.cpu_ratio_to_reader", "idle CPU, product / minimal reader", IDLE_TO_READER_LIMIT),
    Goal("idle.process_ratio", "idle CPU, product / empty timer", IDLE_RATIO_LIMIT),
    Goal("footprint.size_bytes", "executable size (bytes)", SIZE_LIMIT_BYTES),
    # Memory is read in the idle phase, where the three programs run at once.
    Goal("footprint.private_ratio_to_reader", "private memory, product / minimal reader",
         PRIVATE_TO_READER_LIMIT, measured_at="idle.private_ratio_to_reader"),
)


def lookup(figures: dict, path: str):
    value = figures
    for key in path.split("."):
        if not isinstance(value, dict) or key not in value:
            return None
        value = value[key]
    return value


def judged(figure):
    """What a goal is judged by: the figure, or the median over its rounds
    when it was measured in rounds (None: not measured)."""
    return figure.get("median") if isinstance(figure, dict) else figure


def verdicts(figures: dict) -> List[dict]:
    """Each goal with its figure and whether it was met (None: not measured);
    for a figure measured in rounds, the median is the value, beside the
    rounds' spread, their number and the load they met."""
    out = []
    for goal in GOALS:
        figure = lookup(figures, goal.path)
        value = judged(figure)
        verdict = {"figure": goal.name, "value": value, "limit": goal.limit,
                   "met": None if value is None else value <= goal.limit}
        if isinstance(figure, dict):
            verdict.update(spread=[figure.get("min"), figure.get("max")],
                           rounds=figure.get("rounds"), load_1min=figure.get("load_1min"))
        out.append(verdict)
    return out


Row = Tuple[str, str, str, str]


def _fmt(value) -> str:
    if isinstance(value, dict):
        return _fmt_rounds(value)
    if value is None:
        return "n/a"
    if isinstance(value, float):
        return "%.3g" % value if abs(value) < 10 else "%.1f" % value
    return str(value)


def _fmt_rounds(figure: dict, brief: bool = False) -> str:
    """median (min-max, N rounds, load L-H); brief: median (min-max)"""
    if figure.get("median") is None:
        return "n/a (0 rounds)"
    spread = "%s-%s" % (_fmt(figure["min"]), _fmt(figure["max"]))
    load = figure.get("load_1min")
    if not brief:
        spread += ", %d rounds" % figure["rounds"]
        spread += ", load %.1f-%.1f" % tuple(load) if load else ""
    return "%s (%s)" % (_fmt(figure["median"]), spread)


def _values(figures: dict, paths: Sequence[str]) -> str:
    return " / ".join(_fmt(lookup(figures, p)) for p in paths)


def _goal_row(figures: dict, goal: Goal) -> Row:
    figure = lookup(figures, goal.path)
    value = judged(figure)
    verdict = "n/a" if value is None else ("met" if value <= goal.limit else "MISSED")
    return goal.label, _fmt(figure), "<= %g" % goal.limit, verdict


def _latency_rows(figures: dict, mode: str) -> List[Row]:
    base = "latency.%s." % mode
    goals = {g.name: g for g in GOALS}
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
    goals = {g.name: g for g in GOALS}
    return _latency_rows(figures, "adoption") + [
        _info("  adoptions ended by Power: closes seen / Power keys",
              _values(figures, ["latency.adoption.closes_seen", "latency.adoption.power_keys"])),
    ] + _latency_rows(figures, "active") + [
        _info("a posted key alone: p50 / p95 / p99 / max (ms)",
              _values(figures, ["latency.reference.delivery_ms." + k
                                for k in ("p50", "p95", "p99", "max")]),
              "floor of the share after the reading tick"),
        _goal_row(figures, goals["latency.adoption.after_read_ratio_to_post.p99"]),
        _goal_row(figures, goals["latency.active.after_read_ratio_to_post.p99"]),
        _goal_row(figures, goals["idle.cpu_ratio_to_reader"]),
        _goal_row(figures, goals["idle.process_ratio"]),
        _info("  CPU ms: product / reader / timer",
              _values(figures, ["idle.cpu.%s.cpu_ms" % k for k in ("product", "reader",
                                                                   "baseline")]),
              "over %s s in %s rounds, at once" % (_fmt(lookup(figures, "idle.seconds")),
                                                     len(lookup(figures, "idle.rounds") or ()))),
        _info("  wineserver CPU ms: product's / reader's / timer's",
              _values(figures, ["idle.cpu.%s_wineserver.cpu_ms" % k
                                for k in ("product", "reader", "baseline")]),
              "with server, to reader: %s"
              % _fmt_rounds(lookup(figures, "idle.with_wineserver_ratio_to_reader") or {},
                            brief=True)),
        _goal_row(figures, goals["footprint.size_bytes"]),
        _info("  imports: DLLs / functions",
              _values(figures, ["footprint.import_dlls", "footprint.import_functions"])),
        _goal_row(figures, goals["footprint.private_ratio_to_reader"]),
        _info("  private KiB after start: product / reader / timer",
              _values(figures, ["idle.memory_kib.after_start.%s.private" % k
                                for k in ("product", "reader", "baseline")])),
        _info("start to filter bound / first poll (ms)",
              _values(figures, ["startup.product.filter_bound_ms",
                                "startup.product.first_poll_ms"]),
              "reader first tick %s, timer first tick %s"
              % (_fmt(lookup(figures, "startup.reader.first_tick_ms")),
                 _fmt(lookup(figures, "startup.baseline.first_tick_ms")))),
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
