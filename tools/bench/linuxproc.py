"""The Linux processes of a Wine prefix, their CPU time and their memory,
read with psutil, and the machine's load.

Every Windows process of a prefix is a Linux process (Wine's preloader) whose
command line is the Windows program's, and whose environment names the
prefix; the prefix's wineserver is a Linux process too.
"""

from __future__ import annotations

import os
import time
from dataclasses import dataclass
from typing import Iterator, List, Tuple

import psutil

KIB = 1024


def prefix_processes(prefix: os.PathLike) -> Iterator[Tuple[int, List[str]]]:
    """(pid, argv) of every process whose environment has WINEPREFIX=prefix
    (processes that are not ours, or gone, are passed over)."""
    wanted = os.path.abspath(os.fspath(prefix))
    for proc in psutil.process_iter(["environ", "cmdline"]):
        environ, argv = proc.info["environ"], proc.info["cmdline"]
        if environ and argv and environ.get("WINEPREFIX") == wanted:
            yield proc.pid, argv


def _is_wineserver(argv: List[str]) -> bool:
    return os.path.basename(argv[0]).startswith("wineserver")


def _the_one(found: List[int], what: str, prefix: os.PathLike) -> int:
    if len(found) != 1:
        raise LookupError("%d %s in %s" % (len(found), what, prefix))
    return found[0]


def wineserver_pid(prefix: os.PathLike) -> int:
    """The pid of the prefix's wineserver."""
    return _the_one([pid for pid, argv in prefix_processes(prefix) if _is_wineserver(argv)],
                    "wineservers", prefix)


def windows_process_pid(prefix: os.PathLike, exe_name: str) -> int:
    """The pid of the one Windows process of the prefix running `exe_name`
    (matched against the file name of its program path, case-insensitively)."""
    name = exe_name.lower()
    return _the_one([pid for pid, argv in prefix_processes(prefix) if not _is_wineserver(argv)
                     and argv[0].replace("\\", "/").lower().rsplit("/", 1)[-1] == name],
                    "processes of " + exe_name, prefix)


def _process_cpu_clock(pid: int) -> int:
    """The kernel's CPU-time clock of a whole process (all its threads), as
    clock_getcpuclockid(3) makes it: read with clock_gettime, it counts in
    nanoseconds, where /proc's and psutil's times come in 10 ms ticks, too
    coarse for a few seconds of idle CPU in two minutes."""
    cpuclock_sched = 2
    return ((~pid) << 3) | cpuclock_sched


@dataclass(frozen=True)
class CpuTime:
    """CPU time of a process (user + system over all its threads, to the
    nanosecond from the process's CPU-time clock) and how often it was scheduled in
    (voluntary + involuntary context switches: Linux counts them per thread,
    and psutil reads the main thread's, where Wine runs the program's message
    loop and timers)."""

    ns: int
    slices: int

    def __sub__(self, other: "CpuTime") -> "CpuTime":
        return CpuTime(self.ns - other.ns, self.slices - other.slices)

    def __add__(self, other: "CpuTime") -> "CpuTime":
        return CpuTime(self.ns + other.ns, self.slices + other.slices)


def cpu_time(pid: int) -> CpuTime:
    proc = psutil.Process(pid)
    return CpuTime(time.clock_gettime_ns(_process_cpu_clock(pid)), sum(proc.num_ctx_switches()))


def load_1min() -> float:
    """The machine's load average over the last minute (/proc/loadavg)."""
    with open("/proc/loadavg", encoding="ascii") as f:
        return float(f.read().split()[0])


def memory_kib(pid: int) -> dict:
    """Rss and Pss (KiB), and "private": psutil's uss, the process's private
    pages (Private_Clean + Private_Dirty of /proc/PID/smaps_rollup)."""
    memory = psutil.Process(pid).memory_full_info()
    return {"Rss": memory.rss // KIB, "Pss": memory.pss // KIB, "private": memory.uss // KIB}
