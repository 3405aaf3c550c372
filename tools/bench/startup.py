"""Start-up: from process start to the moments the product is up, beside
TimerBaseline.exe's time to its first tick.

No relay trace (it would slow every call down); instead cheap signals on the
one clock of the bench (performance-counter microseconds):

- start: taken by Linux just before `wine MarlowRemote.exe` is launched
  (Wine's counter is CLOCK_MONOTONIC_RAW; see clock.py);
- filter bound: the card's "load" log event, written when the product binds
  the capture filter, inside the main window's creation; the tray icon is
  added right after that, in the same WM_CREATE;
- first poll: the card's first status read, the first tick of the 65 ms poll
  timer, which starts once creation, the icon and the settings are done;
- window seen: the probe finds the main window (polled every 10 ms, so up to
  10 ms late plus a probe round trip).

MinimalReader.exe (the same card layer, opened before its window) and the
baseline log their own entry to WinMain and their first tick, the reader
also the moment its receiver is open; their windows are found the same way. Both are stopped between runs; the medians of a few runs
are reported, with every run's figures.
"""

from __future__ import annotations

import subprocess
from pathlib import Path
from typing import Callable, List, Optional

from winebench import cardemu
from winebench.scenario import MAIN_WINDOW_CLASS, Bench
from winebench.wine import WineEnv, wait_for

from . import BASELINE_CLASS, BASELINE_EXE, READER_CLASS, READER_EXE, stats
from .clock import qpc_offset, raw_us

WM_CLOSE = 0x0010
WINDOW_POLL_S = 0.01
START_TIMEOUT_S = 30.0


def _ms(later_us: int, earlier_us: int) -> float:
    return round((later_us - earlier_us) / 1000.0, 3)


class _Clock:
    def __init__(self, bench: Bench):
        self.offset = qpc_offset(bench.probe)

    def now(self) -> int:
        return raw_us() + self.offset["offset_us"]


def _window_seen(bench: Bench, clock: _Clock, cls: str, running: Callable[[], bool]) -> int:
    """The counter when the probe first saw a top-level window of class cls."""
    def seen() -> Optional[int]:
        if not running():
            raise RuntimeError("%s ended during start-up" % cls)
        return clock.now() if bench.probe.find(cls=cls) else None
    return wait_for(seen, START_TIMEOUT_S, interval=WINDOW_POLL_S, message="%s window" % cls)


def _product_run(bench: Bench, clock: _Clock) -> dict:
    card = bench.card()
    before = len(card.log())
    start = clock.now()
    product = bench.start(trace=False, wait=False)
    window = _window_seen(bench, clock, MAIN_WINDOW_CLASS, product.running)

    def up(entries: List[dict]) -> bool:
        new = entries[before:]
        return any(e.get("ev") == "load" for e in new) and bool(cardemu.requests(new, "status"))
    entries = cardemu.wait_for_log(card.log_path, up, timeout=START_TIMEOUT_S)[before:]
    load = next(e["t_us"] for e in entries if e.get("ev") == "load")
    first_poll = cardemu.requests(entries, "status")[0]["t_us"]
    product.stop()
    return {"filter_bound_ms": _ms(load, start), "first_poll_ms": _ms(first_poll, start),
            "window_seen_ms": _ms(window, start)}


def _yardstick_run(bench: Bench, clock: _Clock, log: Path, exe: str, cls: str) -> dict:
    log.unlink(missing_ok=True)
    start = clock.now()
    proc = bench.wine.start([bench.binary(exe), bench.wine.to_win(log)])
    try:
        window = _window_seen(bench, clock, cls, lambda: proc.poll() is None)
        events = cardemu.wait_for_log(log, lambda es: any(e["ev"] == "tick" for e in es),
                                      timeout=START_TIMEOUT_S)
    finally:
        for w in bench.probe.find(cls=cls):
            bench.probe.post(w["hwnd"], WM_CLOSE)
        try:
            proc.wait(START_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    at = {e["ev"]: e["t_us"] for e in events}
    out = {"entry_ms": _ms(at["start"], start), "first_tick_ms": _ms(at["tick"], start),
           "window_seen_ms": _ms(window, start)}
    if "open" in at:
        out["receiver_open_ms"] = _ms(at["open"], start)
    return out


def _medians(runs: List[dict]) -> dict:
    return {key: round(stats.median([r[key] for r in runs]), 3) for key in runs[0]}


def run(wine: WineEnv, work: Path, bin_dir: Path, repeats: int) -> dict:
    bench = Bench(wine, work, bin_dir)
    try:
        bench.register_cards()
        clock = _Clock(bench)
        product = [_product_run(bench, clock) for _ in range(repeats)]
        reader = [_yardstick_run(bench, clock, work / "reader.log", READER_EXE, READER_CLASS)
                  for _ in range(repeats)]
        baseline = [_yardstick_run(bench, clock, work / "baseline.log", BASELINE_EXE,
                                   BASELINE_CLASS) for _ in range(repeats)]
    finally:
        bench.close()
    return {
        "product": dict(_medians(product), runs=product),
        "reader": dict(_medians(reader), runs=reader),
        "baseline": dict(_medians(baseline), runs=baseline),
        "clock": clock.offset,
    }
