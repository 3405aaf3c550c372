"""Python side of the card emulator (CardEmulator.dll).

Registration: `device_reg()` renders a REGEDIT4 file that registers the
emulator's COM class and one capture-category instance key per emulated
device; import it with ``wine regedit /S file.reg``. Wine enumerates devices in
case-insensitive string order of their instance names ("0001" < "10" < "9" <
"_x" < "A" < "b"), so zero-padded names set the order.

While the product runs, `Feed` appends key commands to a device's feed file and
`read_log` / `wait_for_log` read the device's JSON-lines log.

The card's state (the codes waiting in its receiver, the held key, pending
faults, and how far its feed was read) belongs to the card, not to one filter
object: every object the process binds to the same feed shares it, so a
program that lets the filter go and binds it again reads on as before. Each
object still logs its own "load" and its "join" events.
"""

from __future__ import annotations

import json
import os
import time
from dataclasses import dataclass
from typing import Callable, Iterable, Optional, Union

CLSID_CARD_EMULATOR = "{532BC67E-DFFF-4EC3-94A7-AC349FD464EC}"
KSCATEGORY_CAPTURE = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}"

E_FAIL = 0x80004005
# HRESULT_FROM_WIN32(ERROR_DEVICE_REMOVED): every request to a card that
# vanished fails with it.
DEVICE_REMOVED = 0x80070651

# Value of the key status register.
STATUS_CODE_WAITING = 0
STATUS_IDLE = 1

DLL_NAME = "CardEmulator.dll"

_CLSID_ROOT = r"HKEY_CLASSES_ROOT\CLSID"


@dataclass
class Device:
    """One emulated capture device. feed/log are Windows paths (WineEnv.to_win)."""

    instance: str
    friendly_name: str
    feed: Optional[str] = None
    log: Optional[str] = None
    refuse_bind: bool = False
    no_kscontrol: bool = False


def _reg_string(value: str) -> str:
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _reg_dword(value: int) -> str:
    return "dword:%08x" % value


def _as_device(device: Union[Device, dict]) -> Device:
    return device if isinstance(device, Device) else Device(**device)


def device_reg(dll_win_path: str, devices: Iterable[Union[Device, dict]],
               replace: bool = True) -> str:
    """REGEDIT4 text registering the emulator and `devices`.

    With `replace` (the default) every existing instance of the capture
    category is removed first, so the category lists exactly `devices`.
    """
    lines = ["REGEDIT4", ""]
    server = _CLSID_ROOT + "\\" + CLSID_CARD_EMULATOR
    lines += ["[%s]" % server, "@=%s" % _reg_string("Marlow card emulator"), ""]
    lines += ["[%s\\InprocServer32]" % server, "@=%s" % _reg_string(dll_win_path),
              '"ThreadingModel"="Both"', ""]
    instances = _CLSID_ROOT + "\\" + KSCATEGORY_CAPTURE + "\\Instance"
    if replace:
        lines += ["[-%s]" % instances, ""]
    for dev in map(_as_device, devices):
        if "\\" in dev.instance or not dev.instance:
            raise ValueError("bad instance name %r" % dev.instance)
        lines += ["[%s\\%s]" % (instances, dev.instance),
                  '"FriendlyName"=%s' % _reg_string(dev.friendly_name),
                  '"CLSID"=%s' % _reg_string(CLSID_CARD_EMULATOR)]
        if dev.feed:
            lines.append('"Feed"=%s' % _reg_string(dev.feed))
        if dev.log:
            lines.append('"Log"=%s' % _reg_string(dev.log))
        if dev.refuse_bind:
            lines.append('"RefuseBind"=%s' % _reg_dword(1))
        if dev.no_kscontrol:
            lines.append('"NoKsControl"=%s' % _reg_dword(1))
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


class Feed:
    """Appends commands to a device's key feed file (created if missing).

    Lines are taken by the card's status requests, through any object bound
    to it. Each line is taken once: the emulator records in "<feed>.taken" how
    far it has read, and a process started later goes on from there. Lines
    appended before the device loads are taken at its first status read. Use a
    new file for a fresh start.
    """

    def __init__(self, unix_path: Union[str, os.PathLike]):
        self.path = os.fspath(unix_path)
        self.mark_path = self.path + ".taken"
        if not os.path.exists(self.path):
            try:
                os.remove(self.mark_path)  # left over from an older feed
            except FileNotFoundError:
                pass
        with open(self.path, "a", encoding="ascii"):
            pass

    def taken(self) -> int:
        """Bytes of the feed the emulator has taken so far."""
        try:
            with open(self.mark_path, "rb") as f:
                return int(f.read().strip() or 0)
        except (FileNotFoundError, ValueError):
            return 0

    def all_taken(self) -> bool:
        return self.taken() >= os.path.getsize(self.path)

    def line(self, text: str) -> None:
        """Appends one raw line (also for comments and deliberately bad lines)."""
        if "\n" in text or "\r" in text:
            raise ValueError("one line at a time")
        with open(self.path, "a", encoding="utf-8", newline="\n") as f:
            f.write(text + "\n")
            f.flush()

    def tap(self, code: int) -> None:
        self.line("tap 0x%02X" % code)

    def tap_at(self, code: int, t_us: int) -> None:
        """The code waits once, from the first status read at or after t_us
        (the emulator's clock: QueryPerformanceCounter in microseconds, as the
        logs' t_us and `Probe.time_us()`). Scheduled taps wait in time order;
        a line taken after t_us makes the code wait at once."""
        self.line("tapat 0x%02X %d" % (code, t_us))

    def hold(self, code: int, ms: int) -> None:
        self.line("hold 0x%02X %d" % (code, ms))

    def fault(self, kind: str, hr: int, n: int = 1) -> None:
        if kind not in ("status", "transfer"):
            raise ValueError("fault kind is 'status' or 'transfer'")
        self.line("fault %s 0x%08X %d" % (kind, hr & 0xFFFFFFFF, n))

    def faultrate(self, pct: int, seed: int = 1) -> None:
        self.line("faultrate %d %d" % (pct, seed))

    def vanish(self) -> None:
        """The card is removed: every request through any object bound to it
        fails with DEVICE_REMOVED (verdict "fault"). Lines its status requests
        take meanwhile go with it. A new object bound to the card afterwards
        (re-register the device, let the program bind it again) finds it back
        as a fresh card: nothing waiting, no hold, no faults, its "load" event
        saying "fresh": 1, and the feed read on from where it was. Objects
        bound before the return keep failing."""
        self.line("vanish")

    def comment(self, text: str) -> None:
        """A marker line; the emulator logs it as a feed event when it takes it."""
        self.line("# " + text)


def read_log(unix_path: Union[str, os.PathLike]) -> list:
    """Entries of a device log; a missing file reads as empty and a line still
    being written is left out."""
    try:
        with open(unix_path, "rb") as f:
            data = f.read()
    except FileNotFoundError:
        return []
    complete = data[:data.rfind(b"\n") + 1]
    return [json.loads(line) for line in complete.decode("utf-8").splitlines() if line.strip()]


def wait_for_log(unix_path: Union[str, os.PathLike], predicate: Callable[[list], bool],
                 timeout: float = 10.0, interval: float = 0.05) -> list:
    """Polls the log until predicate(entries) holds; returns the entries or
    raises TimeoutError with the last entries seen."""
    deadline = time.monotonic() + timeout
    while True:
        entries = read_log(unix_path)
        if predicate(entries):
            return entries
        if time.monotonic() >= deadline:
            tail = entries[-10:]
            raise TimeoutError("log condition not met within %.1fs; last entries: %r"
                               % (timeout, tail))
        time.sleep(interval)


def requests(entries: Iterable[dict], req: Optional[str] = None,
             dev: Optional[str] = None) -> list:
    """The request entries (status/transfer/unknown) of a log, optionally
    filtered by request kind and device name."""
    return [e for e in entries if "req" in e
            and (req is None or e["req"] == req) and (dev is None or e.get("dev") == dev)]


def is_read(entry: dict) -> bool:
    """A key code the product took from the card."""
    return entry.get("req") == "transfer" and entry.get("verdict") == "ok"


# The product's repeat rule: the same code read less than this after it had
# handled the last read of it is an auto-repeat, not a new press.
REPEAT_GAP_MS = 250


def now_us() -> int:
    """The card's clock, as its log's "t_us": Wine's performance counter runs
    on the system's raw monotonic clock."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 1000


def wait_until_a_new_press(unix_path: Union[str, os.PathLike], code: int,
                           margin_ms: int = 100) -> None:
    """Returns once a tap of code would be a new press to the product: the
    repeat gap, and a margin, after it had handled its last read of code
    (polled again after it). Two taps of one key in a row are two presses
    only so far apart, as with a person's finger on a real remote."""
    entries = read_log(unix_path)
    last = max((i for i, e in enumerate(entries) if is_read(e) and e["value"] == code),
               default=None)
    if last is None:
        return
    polls = [e["t_us"] for e in entries[last + 1:] if e.get("req") == "status"]
    due = (polls[0] if polls else entries[last]["t_us"]) + (REPEAT_GAP_MS + margin_ms) * 1000
    while now_us() < due:
        time.sleep(min(0.05, (due - now_us()) / 1e6 + 0.001))


def handled(entries: list, start: int, reads: int) -> bool:
    """The product has read `reads` codes since log entry `start` and polled
    again after the last of them, so it has handled every one."""
    new = entries[start:]
    done = [i for i, e in enumerate(new) if is_read(e)]
    return len(done) >= reads and any(e.get("req") == "status" for e in new[done[reads - 1] + 1:])


