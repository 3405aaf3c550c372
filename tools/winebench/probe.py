"""Client of ``probe.exe serve``: looks at windows, dialogs and menus and injects
input from outside the program under test, through one long-lived Wine process.

``Probe(start_fn)`` starts ``[probe.exe, "serve"]`` through start_fn, so that the
caller decides the Wine environment. start_fn(argv) must return a
subprocess.Popen whose stdin and stdout are pipes (bytes or text); when start_fn
accepts ``stdin``/``stdout`` keyword arguments (or ``**kwargs``) the probe passes
subprocess.PIPE for both. ``wine_starter(env)`` builds such a function.

Window handles in replies are strings "0x%08x"; methods take them as str or int.
Failures reported by probe.exe raise ProbeError; a reply that does not come in
time raises ProbeTimeout (the probe process is then restarted on next use).
"""

from __future__ import annotations

import inspect
import json
import os
import queue
import subprocess
import threading
import time
from pathlib import Path
from typing import Callable, Iterable, Optional, Union

from .wine import BUILD_DIR, WINE, start_wine

__all__ = ["Probe", "ProbeError", "ProbeTimeout", "default_exe", "wine_starter"]

Hwnd = Union[str, int]

KEYEVENTF_EXTENDEDKEY, KEYEVENTF_KEYUP = 0x1, 0x2
MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP = 0x1, 0x2, 0x4
MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_WHEEL = 0x8, 0x10, 0x800
MOUSEEVENTF_ABSOLUTE = 0x8000

class ProbeError(RuntimeError):
    """probe.exe answered {"error": ...}."""


class ProbeTimeout(ProbeError):
    """No reply in time (or the probe process ended)."""


def default_exe() -> Path:
    """$MARLOW_PROBE_EXE, else probe.exe of the build tree of the width under test."""
    return Path(os.environ.get("MARLOW_PROBE_EXE", BUILD_DIR / "bin" / "probe.exe"))


def wine_starter(env: dict, wine: str = WINE) -> Callable[..., subprocess.Popen]:
    """A start_fn running argv under the `wine` loader with the environment `env`."""
    def start(argv, stdin=None, stdout=None):
        return start_wine([wine] + list(argv), env, stdin=stdin, stdout=stdout)
    return start


def _accepts_pipes(start_fn) -> bool:
    try:
        params = inspect.signature(start_fn).parameters.values()
    except (TypeError, ValueError):
        return False
    names = {p.name for p in params}
    return {"stdin", "stdout"} <= names or any(p.kind is p.VAR_KEYWORD for p in params)


def _hwnd_arg(hwnd: Hwnd) -> str:
    return "0x%x" % hwnd if isinstance(hwnd, int) else str(hwnd)


def _write_line(stream, line: str) -> None:
    data = line + "\n"
    stream.write(data if hasattr(stream, "encoding") else data.encode("utf-8"))
    stream.flush()


def _matches(window: dict, cls, title, visible) -> bool:
    return ((cls is None or window["class"] == cls) and (title is None or window["title"] == title)
            and (visible is None or window["visible"] == visible))


class Probe:
    def __init__(self, start_fn: Callable[..., subprocess.Popen],
                 exe: Union[str, os.PathLike, None] = None, timeout: float = 20.0):
        self._start_fn = start_fn
        self._argv = [str(exe or default_exe()), "serve"]
        self.timeout = timeout
        self._lock = threading.Lock()
        self._proc: Optional[subprocess.Popen] = None
        self._replies: "queue.Queue[Optional[str]]" = queue.Queue()

    # -- process ---------------------------------------------------------------

    @property
    def pid(self) -> Optional[int]:
        """The probe process's id while it runs."""
        proc = self._proc
        return proc.pid if proc is not None and proc.poll() is None else None

    def _ensure_started(self) -> subprocess.Popen:
        if self._proc is not None and self._proc.poll() is None:
            return self._proc
        self._stop_process()
        if _accepts_pipes(self._start_fn):
            proc = self._start_fn(self._argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        else:
            proc = self._start_fn(self._argv)
        if proc.stdin is None or proc.stdout is None:
            proc.kill()
            raise ValueError("start_fn must give the probe stdin and stdout pipes")
        self._proc = proc
        self._replies = queue.Queue()
        threading.Thread(target=self._read_replies, args=(proc, self._replies), daemon=True).start()
        return proc

    @staticmethod
    def _read_replies(proc: subprocess.Popen, replies: queue.Queue) -> None:
        for line in proc.stdout:
            if isinstance(line, bytes):
                line = line.decode("utf-8", errors="replace")
            if line.strip():
                replies.put(line)
        replies.put(None)

    def _stop_process(self, timeout: float = 5.0) -> None:
        proc, self._proc = self._proc, None
        if proc is None:
            return
        try:
            if proc.poll() is None:
                _write_line(proc.stdin, "quit")
            proc.wait(timeout=timeout)
        except (OSError, ValueError, subprocess.TimeoutExpired):
            proc.kill()
            proc.wait()
        finally:
            for stream in (proc.stdin, proc.stdout):
                try:
                    stream.close()
                except OSError:
                    pass

    def close(self) -> None:
        """Ends the probe process ("quit", then kill if it lingers)."""
        with self._lock:
            self._stop_process()

    def __enter__(self) -> "Probe":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    # -- raw commands ------------------------------------------------------------

    def command(self, line: str, timeout: Optional[float] = None):
        """Sends one command line and returns the decoded reply, errors included."""
        if "\n" in line:
            raise ValueError("one command at a time")
        with self._lock:
            proc = self._ensure_started()
            try:
                _write_line(proc.stdin, line)
                reply = self._replies.get(timeout=self.timeout if timeout is None else timeout)
            except (OSError, queue.Empty):  # the probe ended or hangs
                reply = None
            if reply is None:
                self._stop_process(timeout=1.0)
                raise ProbeTimeout("no reply from probe to %r" % line)
            return json.loads(reply)

    def call(self, *words, timeout: Optional[float] = None):
        """Sends a command made of words; raises ProbeError on an error reply."""
        line = " ".join(str(w) for w in words)
        reply = self.command(line, timeout)
        if isinstance(reply, dict) and "error" in reply:
            raise ProbeError("%s: %s" % (line, reply["error"]))
        return reply

    # -- windows -----------------------------------------------------------------

    def windows(self) -> list:
        """Top-level windows, front to back: hwnd, class, title, rect [l,t,r,b],
        topmost, visible, pid, tid, style, exstyle, owner."""
        return self.call("windows")

    def find(self, cls: Optional[str] = None, title: Optional[str] = None,
             visible: Optional[bool] = None) -> list:
        """Top-level windows with exactly this class and/or title."""
        return [w for w in self.windows() if _matches(w, cls, title, visible)]

    def wait_for_window(self, cls: Optional[str] = None, title: Optional[str] = None,
                        timeout: float = 10.0, visible: Optional[bool] = True) -> dict:
        """Polls until a matching window exists; returns it or raises TimeoutError."""
        found = self._poll(lambda: self.find(cls, title, visible), timeout,
                           "no window class=%r title=%r" % (cls, title))
        return found[0]

    def wait_for_no_window(self, cls: Optional[str] = None, title: Optional[str] = None,
                           timeout: float = 10.0) -> None:
        self._poll(lambda: not self.find(cls, title), timeout,
                   "window class=%r title=%r still there" % (cls, title))

    @staticmethod
    def _poll(check, timeout: float, what: str, interval: float = 0.05):
        deadline = time.monotonic() + timeout
        while True:
            result = check()
            if result:
                return result
            if time.monotonic() >= deadline:
                raise TimeoutError("%s after %.1fs" % (what, timeout))
            time.sleep(interval)

    def send(self, hwnd: Hwnd, msg: int, wparam: int = 0, lparam: int = 0) -> int:
        """SendMessage (5 s timeout inside the probe); returns the LRESULT."""
        return self.call("send", _hwnd_arg(hwnd), msg, wparam, lparam)["result"]

    def post(self, hwnd: Hwnd, msg: int, wparam: int = 0, lparam: int = 0) -> int:
        return self.call("post", _hwnd_arg(hwnd), msg, wparam, lparam)["result"]

    def dialog(self, hwnd: Hwnd) -> dict:
        """A window and all its descendants ("controls": id, class, text, style,
        rect, ...; combo and list boxes with "items" and "cursel", check boxes
        with "checked", trackbars with "pos"/"min"/"max")."""
        return self.call("dialog", _hwnd_arg(hwnd))

    def popup(self) -> list:
        """Open popup menus (class "#32768") with "items", or items None and
        "items_error" when the menu belongs to another process (always so on Wine 8)."""
        return self.call("popup")

    def wait_for_popup(self, timeout: float = 10.0) -> list:
        """Polls until a popup menu is open; returns popup()'s list."""
        return self._poll(self.popup, timeout, "no popup menu")

    # -- input and screen ----------------------------------------------------------

    def cursor(self) -> tuple:
        reply = self.call("cursor")
        return reply["x"], reply["y"]

    def set_cursor(self, x: int, y: int) -> tuple:
        reply = self.call("cursor", x, y)
        return reply["x"], reply["y"]

    def metrics(self) -> dict:
        """SM_CXSCREEN, SM_CYSCREEN, SM_CXFULLSCREEN, SM_CYFULLSCREEN, SM_SWAPBUTTON."""
        return self.call("metrics")

    def keys(self, vks: Iterable[int], down_flags: Optional[int] = None,
             up_flags: Optional[int] = None) -> int:
        """keybd_event presses of vks in order, then releases in reverse order
        (flags 1 and 3 by default). Returns the probe's t_us before the first press."""
        words = ["keys", ",".join("0x%02x" % vk for vk in vks)]
        if (down_flags is None) != (up_flags is None):
            raise ValueError("give both flag values or neither")
        if down_flags is not None:
            words += [down_flags, up_flags]
        return self.call(*words)["t_us"]

    def type(self, vks: Iterable[int]) -> int:
        """One SendInput that presses vks in order, then releases them in
        reverse order. Returns the probe's t_us before it."""
        return self.call("type", ",".join("0x%02x" % vk for vk in vks))["t_us"]

    def foreground(self) -> Optional[dict]:
        """The window in front (as windows() describes it), or None."""
        window = self.call("foreground")
        return window if window["hwnd"] is not None else None

    def front(self, hwnd: Hwnd) -> Optional[dict]:
        """SetForegroundWindow(hwnd); returns the window in front afterwards."""
        window = self.call("front", _hwnd_arg(hwnd))
        return window if window["hwnd"] is not None else None

    def mouse(self, flags: int, dx: int = 0, dy: int = 0, data: int = 0) -> int:
        """One mouse_event; returns the probe's t_us before it."""
        return self.call("mouse", flags, dx, dy, data)["t_us"]

    def time_us(self) -> int:
        """The performance counter in microseconds, as the logs' "t_us"."""
        return self.call("time")["t_us"]
