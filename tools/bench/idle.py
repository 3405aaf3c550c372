"""Idle cost and memory: MarlowRemote.exe with the card present and no key,
beside TimerBaseline.exe (an empty 65 ms window timer), both at once, each in
a prefix of its own.

CPU time is each process's user + system time (psutil; all its threads),
and how often its main thread was scheduled in, across the same window of
time; each prefix's wineserver, which delivers the timers and answers the
processes' requests, is reported on its own. The card is registered without
feed and log, so that the emulator does no file work of its own in the
product's process: what remains is what a real driver's property request
would cost the product, one call a tick.

Memory is the private pages (psutil's uss), read once both are up and
settled, and again at the end.
"""

from __future__ import annotations

import time
from pathlib import Path
from typing import Optional

from winebench import cardemu
from winebench.scenario import DEFAULT_CARD_NAME, PRODUCT_EXE, Bench
from winebench.wine import WineEnv

from . import BASELINE_EXE, linuxproc

SETTLE_S = 5.0
START_TIMEOUT_S = 30.0
NS_PER_MS = 1e6


def _ms(ns: int) -> float:
    return round(ns / NS_PER_MS, 3)


def _ratio(value: float, reference: float) -> Optional[float]:
    return round(value / reference, 3) if reference else None


def run(product_wine: WineEnv, baseline_wine: WineEnv, work: Path, bin_dir: Path,
        seconds: float) -> dict:
    bench = Bench(product_wine, work, bin_dir)
    baseline_wine.boot()
    baseline = None
    try:
        dll = product_wine.to_win(bench.binary(cardemu.DLL_NAME))
        card = cardemu.Device("0000", DEFAULT_CARD_NAME)  # no feed, no log
        product_wine.import_reg(cardemu.device_reg(dll, [card]))
        product = bench.start(trace=False)
        bench.probe.close()  # no other client of the product's wineserver while measuring

        log = work / "baseline.log"
        log.unlink(missing_ok=True)
        baseline = baseline_wine.start([bench.binary(BASELINE_EXE), baseline_wine.to_win(log)])
        cardemu.wait_for_log(log, lambda es: any(e["ev"] == "tick" for e in es),
                             timeout=START_TIMEOUT_S)

        pids = {
            "product": linuxproc.windows_process_pid(product_wine.prefix, PRODUCT_EXE),
            "baseline": linuxproc.windows_process_pid(baseline_wine.prefix, BASELINE_EXE),
            "product_wineserver": linuxproc.wineserver_pid(product_wine.prefix),
            "baseline_wineserver": linuxproc.wineserver_pid(baseline_wine.prefix),
        }
        time.sleep(SETTLE_S)  # start-up work done before the window opens
        memory_start = {k: linuxproc.memory_kib(pids[k]) for k in ("product", "baseline")}
        before = {k: linuxproc.cpu_time(pid) for k, pid in pids.items()}
        began = time.monotonic()
        time.sleep(seconds)  # the measured window: nothing happens, by design
        after = {k: linuxproc.cpu_time(pid) for k, pid in pids.items()}
        elapsed = time.monotonic() - began
        memory_end = {k: linuxproc.memory_kib(pids[k]) for k in ("product", "baseline")}
        ran_throughout = product.running() and baseline.poll() is None
        product.stop()
    finally:
        bench.close()
        if baseline is not None and baseline.poll() is None:
            baseline.kill()
            baseline.wait()
        baseline_wine.kill()

    used = {k: after[k] - before[k] for k in pids}
    cpu = {k: {"cpu_ms": _ms(u.ns), "scheduled_in": u.slices} for k, u in used.items()}
    product_total = used["product"].ns + used["product_wineserver"].ns
    baseline_total = used["baseline"].ns + used["baseline_wineserver"].ns
    return {
        "seconds": round(elapsed, 3),
        "cpu": cpu,
        "process_ratio": _ratio(used["product"].ns, used["baseline"].ns),
        "with_wineserver_ratio": _ratio(product_total, baseline_total),
        "memory_kib": {"after_start": memory_start, "at_end": memory_end},
        "ran_throughout": ran_throughout,
        "run_at_once": True,
    }

