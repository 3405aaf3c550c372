"""Runs the benchmarks, prints the figures beside their goals and writes them
to a JSON file.

    python3 -m bench [--bin DIR] [--work DIR] [--out FILE] [--display :N]
                     [--only PHASES] [--taps N] [--latency-rounds N]
                     [--idle-seconds S] [--idle-rounds N]
                     [--startup-runs N] [--seed N] [--keep-prefixes]

(tools/ on PYTHONPATH.) Phases, in the order they run: footprint, startup,
latency, idle. Each Wine phase gets fresh prefixes cloned from the bench's
template, under the work directory. A phase that fails is recorded with its
error and the others still run; the exit status is 1 then, else 0 (a goal
missed is a figure, not a failure).

The latency and idle phases measure the program and its yardsticks side by
side in rounds; each ratio between them is the median over the rounds,
shown with the rounds' spread (min-max) and the machine's load average, and
a goal on a ratio is judged by that median.
"""

from __future__ import annotations

import argparse
import datetime
import json
import os
import subprocess
import sys
import time
import traceback
from pathlib import Path
from typing import Callable, Dict, List, Optional, Sequence

from winebench.scenario import PRODUCT_EXE, default_bin_dir
from winebench.wine import WIDTH, WINE
from winebench.wine import PREFIX_TOOL, REPO_ROOT, WineEnv, Xvfb

from . import footprint, idle, latency, report, startup

PHASES = ("footprint", "startup", "latency", "idle")
DEFAULT_TAPS = 300
DEFAULT_LATENCY_ROUNDS = 5
DEFAULT_IDLE_S = 120.0
DEFAULT_IDLE_ROUNDS = 4
DEFAULT_STARTUP_RUNS = 5


class Run:
    def __init__(self, opts: argparse.Namespace, display: str):
        self.opts = opts
        self.display = display
        self.prefixes: List[WineEnv] = []

    def prefix(self, name: str) -> WineEnv:
        """A fresh prefix cloned from the template (an old one of that name is removed)."""
        path = self.opts.work / ("prefix-" + name)
        if path.exists():
            subprocess.run([str(PREFIX_TOOL), "remove", str(path)], check=True, timeout=120)
        env = WineEnv(path, self.display).create_from_template()
        self.prefixes.append(env)
        return env

    def close(self) -> None:
        for env in self.prefixes:
            if self.opts.keep_prefixes:
                env.kill()
            else:
                env.remove()

    def footprint(self) -> dict:
        return footprint.static_footprint(self.opts.bin / PRODUCT_EXE)

    def startup(self) -> dict:
        return startup.run(self.prefix("startup"), self.opts.work / "startup", self.opts.bin,
                           self.opts.startup_runs)

    def latency(self) -> dict:
        figures, samples = latency.run(self.prefix("latency"), self.opts.work / "latency",
                                       self.opts.bin, self.opts.taps, self.opts.seed,
                                       self.opts.latency_rounds, self.opts.server)
        (self.opts.work / "latency-samples.json").write_text(json.dumps(samples))
        return figures

    def idle(self) -> dict:
        return idle.run(self.prefix("idle-product"), self.prefix("idle-reader"),
                        self.prefix("idle-baseline"), self.opts.work / "idle", self.opts.bin,
                        self.opts.idle_seconds, self.opts.idle_rounds, self.opts.server)


def _environment() -> dict:
    wine = subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
    return {"wine": wine, "cpus": os.cpu_count(),
            "when": datetime.datetime.now().astimezone().isoformat(timespec="seconds")}


def _width() -> dict:
    """Which build ran: the PE32 program where this machine runs 32-bit code,
    else the x86-64 test build (beside yardsticks of the same width)."""
    return {"bits": WIDTH,
            "build": "PE32 program" if WIDTH == 32 else "x86-64 test build",
            "beside": "MinimalReader.exe and TimerBaseline.exe, %d-bit" % WIDTH}


def _load() -> List[float]:
    return [float(x) for x in Path("/proc/loadavg").read_text().split()[:3]]


def run_phases(run: Run, phases: Sequence[str], log: Callable[[str], None]) -> Dict[str, dict]:
    figures: Dict[str, dict] = {}
    for name in phases:
        log("== %s ==" % name)
        began = time.monotonic()
        load = _load()
        try:
            figures[name] = getattr(run, name)()
        except Exception as error:  # recorded; the other phases still run
            traceback.print_exc()
            figures[name] = {"error": "%s: %s" % (type(error).__name__, error)}
        figures[name]["phase"] = {"seconds": round(time.monotonic() - began, 1),
                                  "load_before": load, "load_after": _load()}
    return figures


def _parse(argv: Sequence[str]) -> argparse.Namespace:
    build = REPO_ROOT / "build"
    p = argparse.ArgumentParser(prog="scripts/bench.sh", description=__doc__.split("\n\n")[0],
                                epilog=__doc__.split("\n\n")[-1])
    p.add_argument("--bin", type=Path, default=default_bin_dir(), help="built programs")
    p.add_argument("--work", type=Path, default=build / "bench-work",
                   help="prefixes, logs and raw samples")
    p.add_argument("--out", type=Path, default=build / "bench.json")
    p.add_argument("--display", help="an X display to use (default: an Xvfb of its own)")
    p.add_argument("--only", default=",".join(PHASES), help="comma-separated phases")
    p.add_argument("--taps", type=int, default=DEFAULT_TAPS,
                   help="samples per latency mode, all rounds together (default %(default)s)")
    p.add_argument("--latency-rounds", type=int, default=DEFAULT_LATENCY_ROUNDS,
                   help="rounds the taps and the bare posts are split into, each round both"
                   " modes beside its posts (default %(default)s)")
    p.add_argument("--idle-seconds", type=float, default=DEFAULT_IDLE_S,
                   help="length of the idle window, all rounds together (default %(default)s)")
    p.add_argument("--idle-rounds", type=int, default=DEFAULT_IDLE_ROUNDS,
                   help="rounds of equal length the idle window is split into"
                   " (default %(default)s)")
    p.add_argument("--startup-runs", type=int, default=DEFAULT_STARTUP_RUNS)
    p.add_argument("--seed", type=int, default=1, help="of the random tap phases")
    p.add_argument("--keep-prefixes", action="store_true")
    p.add_argument("--server", action="store_true",
                   help="the product's key server on (Server=1): idle with no program connected,"
                   " latency with a WinLIRC and an IR Server Suite client connected")
    opts = p.parse_args(argv)
    phases = [x for x in opts.only.split(",") if x]
    unknown = set(phases) - set(PHASES)
    if unknown:
        p.error("unknown phase(s): %s (known: %s)"
                % (", ".join(sorted(unknown)), ", ".join(PHASES)))
    opts.phases = [x for x in PHASES if x in phases]
    if "latency" in opts.phases and not 1 <= opts.latency_rounds <= opts.taps:
        p.error("--latency-rounds must be 1 to --taps (%d)" % opts.taps)
    if opts.idle_rounds < 1:
        p.error("--idle-rounds must be 1 or more")
    opts.work = opts.work.resolve()
    opts.bin = opts.bin.resolve()
    return opts


def main(argv: Optional[Sequence[str]] = None) -> int:
    opts = _parse(sys.argv[1:] if argv is None else argv)
    opts.work.mkdir(parents=True, exist_ok=True)

    def log(text: str) -> None:
        print(text, flush=True)

    xvfb = None
    if not opts.display:
        xvfb = Xvfb().start()
    run = Run(opts, opts.display or xvfb.display)
    try:
        figures = run_phases(run, opts.phases, log)
    finally:
        run.close()
        if xvfb:
            xvfb.stop()
    result = {"width": _width(), "environment": _environment(), "figures": figures,
              "goals": report.verdicts(figures)}
    opts.out.parent.mkdir(parents=True, exist_ok=True)
    opts.out.write_text(json.dumps(result, indent=1) + "\n")
    log("")
    log(report.table(figures))
    imports = figures.get("footprint", {}).get("imports")
    if imports:
        log("imports: " + ", ".join("%s (%d)" % item for item in imports.items()))
    failed = [name for name, f in figures.items() if "error" in f]
    for name in failed:
        log("phase %s failed: %s" % (name, figures[name]["error"]))
    log("figures written to %s" % opts.out)
    return 1 if failed else 0
