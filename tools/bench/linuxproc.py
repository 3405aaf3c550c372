"""What Linux knows about the processes of a Wine prefix: which they are,
their CPU time and their memory.

Every Windows process of a prefix is a Linux process (Wine's preloader) whose
command line is the Windows program's, and whose environment names the
prefix; the prefix's wineserver is a Linux process too.
"""

from __future__ import annotations

import os
from dataclasses import dataclass
from pathlib import Path
from typing import Iterator, List, Optional, Tuple

PROC = Path("/proc")


def _read_bytes(path: Path) -> Optional[bytes]:
    try:
        return path.read_bytes()
    except OSError:  # gone, or not ours
        return None


def prefix_processes(prefix: os.PathLike, proc: Path = PROC) -> Iterator[Tuple[int, List[str]]]:
    """(pid, argv) of every process whose environment has WINEPREFIX=prefix."""
    wanted = b"WINEPREFIX=" + os.fsencode(os.path.abspath(os.fspath(prefix)))
    for entry in proc.iterdir():
        if not entry.name.isdigit():
            continue
        environ = _read_bytes(entry / "environ")
        cmdline = _read_bytes(entry / "cmdline")
        if not environ or not cmdline or wanted not in environ.split(b"\0"):
            continue
        yield int(entry.name), [a.decode("utf-8", "replace") for a in cmdline.split(b"\0") if a]


def _is_wineserver(argv: List[str]) -> bool:
    return bool(argv) and os.path.basename(argv[0]).startswith("wineserver")


def wineserver_pid(prefix: os.PathLike, proc: Path = PROC) -> int:
    """The pid of the prefix's wineserver."""
    found = [pid for pid, argv in prefix_processes(prefix, proc) if _is_wineserver(argv)]
    if len(found) != 1:
        raise LookupError("%d wineservers for %s" % (len(found), prefix))
    return found[0]


def windows_process_pid(prefix: os.PathLike, exe_name: str, proc: Path = PROC) -> int:
    """The pid of the one Windows process of the prefix running `exe_name`
    (matched against the end of its program path, case-insensitively)."""
    name = exe_name.lower()
    found = [pid for pid, argv in prefix_processes(prefix, proc)
             if not _is_wineserver(argv) and argv
             and argv[0].replace("\\", "/").lower().rsplit("/", 1)[-1] == name]
    if len(found) != 1:
        raise LookupError("%d processes of %s in %s" % (len(found), exe_name, prefix))
    return found[0]


@dataclass(frozen=True)
class CpuTime:
    """Time on CPU summed over the live threads of a process (schedstat:
    nanoseconds and number of times scheduled in)."""

    ns: int
    slices: int

    def __sub__(self, other: "CpuTime") -> "CpuTime":
        return CpuTime(self.ns - other.ns, self.slices - other.slices)


def cpu_time(pid: int, proc: Path = PROC) -> CpuTime:
    """schedstat of every thread of `pid`, summed. A thread that ended since
    an earlier reading takes its time with it, so read around a quiet period."""
    ns = slices = 0
    tasks = proc / str(pid) / "task"
    for task in tasks.iterdir():
        data = _read_bytes(task / "schedstat")
        if data is None:
            continue
        fields = data.split()
        ns += int(fields[0])
        slices += int(fields[2])
    return CpuTime(ns, slices)


MEMORY_FIELDS = ("Rss", "Pss", "Private_Clean", "Private_Dirty")


def memory_kib(pid: int, proc: Path = PROC) -> dict:
    """Rss, Pss, Private_Clean and Private_Dirty (KiB) from smaps_rollup, and
    "private": the two private figures summed."""
    text = (proc / str(pid) / "smaps_rollup").read_text()
    values = {}
    for line in text.splitlines():
        key, _, rest = line.partition(":")
        if key in MEMORY_FIELDS:
            values[key] = int(rest.split()[0])
    missing = set(MEMORY_FIELDS) - set(values)
    if missing:
        raise ValueError("smaps_rollup of %d lacks %s" % (pid, ", ".join(sorted(missing))))
    values["private"] = values["Private_Clean"] + values["Private_Dirty"]
    return values
