"""Idle cost and memory: MarlowRemote.exe with the card present and no key,
beside MinimalReader.exe (the least any reader of the card does: the same
card layer, the same two requests every 65 ms against the same emulator) and
TimerBaseline.exe (an empty 65 ms window timer), all three at once, each in a
prefix of its own.

CPU time is each process's user + system time (psutil; all its threads),
and how often its main thread was scheduled in, across the same window of
time; each prefix's wineserver, which delivers the timers and answers the
processes' requests, is reported on its own. The card is registered without
feed and log, so that the emulator does no file work of its own in the
product's process: what remains is what a real driver's property request
would cost the product, one call a tick. The reader's card is registered
the same way, so the emulator's share is the same on both sides.

Memory is the private pages (psutil's uss), read once all are up and
settled, at the start of every round, and again at the end.

The window is measured in rounds, back to back: each ratio is worked out
round by round and reported as the median over the rounds, with their
spread and the machine's load seen in each, so that another program's burst
on a shared machine spoils one round, not the verdict. The CPU times are
also given summed over the whole window.
"""

from __future__ import annotations

import time
from dataclasses import dataclass
from pathlib import Path
from typing import Dict, List, Optional, Tuple

from winebench import cardemu
from winebench.scenario import DEFAULT_CARD_NAME, PRODUCT_EXE, Bench
from winebench.wine import WineEnv

from . import BASELINE_EXE, READER_EXE, linuxproc, stats
from .linuxproc import CpuTime

SETTLE_S = 5.0
START_TIMEOUT_S = 30.0
NS_PER_MS = 1e6


def _ms(ns: int) -> float:
    return round(ns / NS_PER_MS, 3)


def _ratio(value: float, reference: float) -> Optional[float]:
    return round(value / reference, 3) if reference else None


WHO = ("product", "reader", "baseline")


def _register_card(bench: Bench) -> None:
    """One card with the name the product looks for, without feed and log."""
    dll = bench.wine.to_win(bench.binary(cardemu.DLL_NAME))
    bench.wine.import_reg(cardemu.device_reg(dll, [cardemu.Device("0000", DEFAULT_CARD_NAME)]))


def _start_yardstick(bench: Bench, exe: str, log: Path):
    """Starts exe with its log and waits for its first tick."""
    log.unlink(missing_ok=True)
    proc = bench.wine.start([bench.binary(exe), bench.wine.to_win(log)])
    events = cardemu.wait_for_log(log, lambda es: any(e["ev"] == "tick" for e in es),
                                  timeout=START_TIMEOUT_S)
    if any(e["ev"] == "open" and not e["ok"] for e in events):
        raise RuntimeError("%s did not open the receiver" % exe)
    return proc


@dataclass(frozen=True)
class Round:
    """One round of the window: each process's CPU use over it (product,
    reader, baseline and their wineservers, "product_wineserver" and so on),
    the three programs' private KiB at its start, its length and the 1-minute
    load average at its start and end."""

    used: Dict[str, CpuTime]
    private_kib: Dict[str, int]
    seconds: float
    load: Tuple[float, float]


def _round_ratios(r: Round) -> Dict[str, Optional[float]]:
    ns = {k: u.ns for k, u in r.used.items()}
    total = {k: ns[k] + ns[k + "_wineserver"] for k in WHO}
    return {
        "cpu_ratio_to_reader": _ratio(ns["product"], ns["reader"]),
        "with_wineserver_ratio_to_reader": _ratio(total["product"], total["reader"]),
        "process_ratio": _ratio(ns["product"], ns["baseline"]),
        "with_wineserver_ratio": _ratio(total["product"], total["baseline"]),
        "reader_ratio_to_baseline": _ratio(ns["reader"], ns["baseline"]),
        "private_ratio_to_reader": _ratio(r.private_kib["product"], r.private_kib["reader"]),
    }


def figures(rounds: List[Round]) -> dict:
    """Each ratio over the rounds (median, spread, every round's value, the
    load), the CPU used summed over all rounds, and each round's own CPU
    milliseconds and load."""
    ratios = [_round_ratios(r) for r in rounds]
    loads = [r.load for r in rounds]
    pooled = {k: sum((r.used[k] for r in rounds[1:]), rounds[0].used[k]) for k in rounds[0].used}
    out = {
        "seconds": round(sum(r.seconds for r in rounds), 3),
        "cpu": {k: {"cpu_ms": _ms(u.ns), "scheduled_in": u.slices} for k, u in pooled.items()},
    }
    for name in ratios[0]:
        out[name] = stats.over_rounds([x[name] for x in ratios], loads)
    out["rounds"] = [{"seconds": round(r.seconds, 3), "load_1min": list(r.load),
                      "cpu_ms": {k: _ms(u.ns) for k, u in r.used.items()}} for r in rounds]
    return out


def run(product_wine: WineEnv, reader_wine: WineEnv, baseline_wine: WineEnv, work: Path,
        bin_dir: Path, seconds: float, rounds: int, server: bool = False) -> dict:
    """`seconds` of idle in all, in `rounds` rounds of equal length."""
    benches = {"product": Bench(product_wine, work / "product", bin_dir),
               "reader": Bench(reader_wine, work / "reader", bin_dir),
               "baseline": Bench(baseline_wine, work / "baseline", bin_dir)}
    procs = {}
    try:
        _register_card(benches["product"])
        _register_card(benches["reader"])
        if server:
            benches["product"].set_settings(Server=1)  # listening, no program connected
        product = benches["product"].start(trace=False)
        for who, exe in (("reader", READER_EXE), ("baseline", BASELINE_EXE)):
            benches[who].probe.windows()  # the prefix's desktop process, as for the product
            procs[who] = _start_yardstick(benches[who], exe, work / (who + ".log"))
        for bench in benches.values():
            bench.probe.close()  # no other client of the wineservers while measuring

        pids = {}
        for who, exe in (("product", PRODUCT_EXE), ("reader", READER_EXE),
                         ("baseline", BASELINE_EXE)):
            prefix = benches[who].wine.prefix
            pids[who] = linuxproc.windows_process_pid(prefix, exe)
            pids[who + "_wineserver"] = linuxproc.wineserver_pid(prefix)
        time.sleep(min(SETTLE_S, seconds))  # start-up work done before the window opens
        measured = []
        memory_start = None
        for _ in range(rounds):
            memory = {k: linuxproc.memory_kib(pids[k]) for k in WHO}
            memory_start = memory_start or memory
            load = linuxproc.load_1min()
            before = {k: linuxproc.cpu_time(pid) for k, pid in pids.items()}
            began = time.monotonic()
            time.sleep(seconds / rounds)  # the measured window: nothing happens, by design
            after = {k: linuxproc.cpu_time(pid) for k, pid in pids.items()}
            elapsed = time.monotonic() - began
            measured.append(Round({k: after[k] - before[k] for k in pids},
                                  {k: memory[k]["private"] for k in WHO}, elapsed,
                                  (load, linuxproc.load_1min())))
        memory_end = {k: linuxproc.memory_kib(pids[k]) for k in WHO}
        ran_throughout = product.running() and all(p.poll() is None for p in procs.values())
        product.stop()
    finally:
        for bench in benches.values():
            bench.close()
        for proc in procs.values():
            if proc.poll() is None:
                proc.kill()
                proc.wait()

    return dict(figures(measured),
                memory_kib={"after_start": memory_start, "at_end": memory_end},
                ran_throughout=ran_throughout, run_at_once=True, server=server)
