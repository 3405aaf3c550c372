"""API traces of the product through Wine's relay debugging.

The product runs with WINEDEBUG=RELAY_WINEDEBUG and its stderr in a file. The
registry key written by `relay_reg()` limits the relay to a list of functions
and to calls made from the product's own module: calls that Wine's DLLs make
inside the product (DirectShow, COM) and the calls of the processes it starts
(the TV applications, which inherit its WINEDEBUG and stderr) are left out. Lines look like

    1234.567:0120:0124:Call user32.SetTimer(00010060,00000001,00000041,00401000) ret=004012ab
    1234.568:0120:0124:Ret  user32.SetTimer() retval=00000001 ret=004012ab

(seconds:pid:tid). At 64 bits every argument is printed as a 64-bit word.
`Trace` reads such a file while it grows and pairs every
Call with its Ret on the same thread; calls nest (a dialog procedure runs
inside DialogBoxParamA) and are kept in the order of their Call lines.
"""

from __future__ import annotations

import difflib
import os
import re
import time
from dataclasses import dataclass
from typing import Callable, Iterable, List, Optional, Sequence, Tuple, Union

from .wine import WIDTH

RELAY_WINEDEBUG = "fixme-all,+pid,+timestamp,+relay"
PRODUCT_MODULE = "MarlowRemote.exe"

# GetCursorPos is left out: pointer emulation reads it on every tick. Add it
# with relay_reg(DEFAULT_FUNCTIONS + ("user32.GetCursorPos",)) when needed.
DEFAULT_FUNCTIONS: Tuple[str, ...] = (
    "user32.SetTimer", "user32.KillTimer", "shell32.Shell_NotifyIconA",
    "user32.CreatePopupMenu", "user32.DestroyMenu", "user32.AppendMenuA",
    "user32.TrackPopupMenu", "user32.SetForegroundWindow", "user32.SetActiveWindow",
    "user32.PostMessageA", "user32.SendMessageA", "user32.PostQuitMessage",
    "user32.keybd_event", "user32.mouse_event", "user32.SetCursorPos",
    "user32.SendInput", "user32.SendMessageTimeoutA",
    "kernel32.WinExec",
    "advapi32.RegSetValueExA", "advapi32.RegCreateKeyExA", "advapi32.RegOpenKeyExA",
    "advapi32.RegQueryValueExA", "advapi32.RegFlushKey",
    "user32.MessageBoxA", "user32.DialogBoxParamA", "user32.EndDialog", "user32.SetWindowPos",
    "advapi32.OpenProcessToken", "advapi32.LookupPrivilegeValueA",
    "advapi32.AdjustTokenPrivileges", "kernel32.SetSystemPowerState", "user32.ExitWindowsEx",
    # ole32 forwards CoUninitialize to combase, under whose name relay shows it.
    "combase.CoUninitialize", "ole32.CoInitialize",
    "user32.CreateWindowExA", "user32.FindWindowA", "user32.FindWindowExA",
)

NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2


def pointer(value: int) -> int:
    """A pointer-sized argument (a handle, HWND_TOPMOST) as relay prints it
    at the width under test: pointer(-1) is 0xffffffff at 32 bits and
    0xffffffffffffffff at 64."""
    return value & ((1 << WIDTH) - 1)


# Wine's own setting; it takes precedence over RelayFromInclude, so it is
# removed while a module list is in force and put back otherwise.
WINE_RELAY_FROM_EXCLUDE = "winex11.drv;winemac.drv;user32;gdi32;advapi32;kernel32"


def relay_reg(functions: Iterable[str] = DEFAULT_FUNCTIONS,
              from_modules: Iterable[str] = (PRODUCT_MODULE,)) -> str:
    """REGEDIT4 text for HKCU\\Software\\Wine\\Debug: relay only `functions`
    ("dll.Func" or "Func"), and only calls made from `from_modules` (module
    file names like "MarlowRemote.exe"; empty: from any module but Wine's
    usual exclusions)."""
    def sz(items):
        return '"%s"' % ";".join(items)
    modules = list(from_modules)
    lines = ["REGEDIT4", "", r"[HKEY_CURRENT_USER\Software\Wine\Debug]",
             '"RelayInclude"=%s' % sz(functions),
             '"RelayFromInclude"=%s' % (sz(modules) if modules else "-"),
             '"RelayFromExclude"=%s' % ("-" if modules else sz([WINE_RELAY_FROM_EXCLUDE])), ""]
    return "\r\n".join(lines) + "\r\n"


class Str(str):
    """A string argument as relay decoded it; `ptr` is its address, `wide`
    tells L"..." from "...", `truncated` that relay cut it (it ends in ...)."""

    ptr: int
    wide: bool
    truncated: bool

    def __new__(cls, text: str, ptr: int, wide: bool = False, truncated: bool = False):
        self = super().__new__(cls, text)
        self.ptr, self.wide, self.truncated = ptr, wide, truncated
        return self

    def __repr__(self) -> str:
        return ("L" if self.wide else "") + _quote(self) + ("..." if self.truncated else "")


Arg = Union[int, Str]


@dataclass
class Call:
    tid: int
    dll: str                     # lower case: "user32", "kernel32", ...
    func: str
    args: List[Arg]
    ret: Optional[int] = None    # the return value, None until the Ret line is read
    t: Optional[float] = None    # seconds, when +timestamp is on
    pid: Optional[int] = None    # when +pid is on
    t_ret: Optional[float] = None
    seq: int = 0                 # position in the trace (order of Call lines)
    depth: int = 0               # calls of the same thread still open around it
    returned: bool = False

    @property
    def name(self) -> str:
        return "%s.%s" % (self.dll, self.func)

    def dword(self, i: int) -> int:
        """Argument i of a 32-bit type (DWORD, UINT, int): at 64 bits its
        register's upper half, which relay prints too, is left out."""
        return _low_word(self.args[i])

    def __str__(self) -> str:
        return "%s(%s)" % (self.func, ", ".join(_render(a) for a in self.args))


_PREFIX = r"^(?:(?P<t>\d+\.\d+):)?(?:(?P<pid>[0-9a-f]{4,8}):)?(?P<tid>[0-9a-f]{4,8}):"
_CALL_RE = re.compile(_PREFIX + r"Call (?P<dll>[\w-]+)\.(?P<func>\w+)\((?P<args>.*)\) ret=[0-9a-f]+$")
_RET_RE = re.compile(_PREFIX + r"Ret  (?P<dll>[\w-]+)\.(?P<func>\w+)\(\) "
                     r"retval=(?P<retval>[0-9a-f]+) ret=[0-9a-f]+$")
_HEX_RE = re.compile(r"[0-9a-fA-F]+")
_SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def _read_quoted(s: str, pos: int, wide: bool) -> Tuple[str, int]:
    """Decodes the string literal starting at s[pos] == '"'; returns the text
    and the position after the closing quote. Escapes are Wine's debugstr
    ones: \\n \\r \\t \\" \\\\, \\xHH in narrow and \\HHHH in wide strings."""
    out = []
    pos += 1
    while True:
        c = s[pos]
        if c == '"':
            return "".join(out), pos + 1
        if c != "\\":
            out.append(c)
            pos += 1
            continue
        nxt = s[pos + 1]
        if nxt in _SIMPLE_ESCAPES:
            out.append(_SIMPLE_ESCAPES[nxt])
            pos += 2
        elif wide:
            out.append(chr(int(s[pos + 1:pos + 5], 16)))
            pos += 5
        elif nxt == "x":
            out.append(chr(int(s[pos + 2:pos + 4], 16)))
            pos += 4
        else:
            raise ValueError("unknown escape at %d in %r" % (pos, s))


def parse_args(s: str) -> List[Arg]:
    """Splits relay's argument list: hex words, each optionally followed by
    the string it points to ("..." or L"...", maybe cut with ...)."""
    args: List[Arg] = []
    pos = 0
    while pos < len(s):
        m = _HEX_RE.match(s, pos)
        if not m:
            raise ValueError("expected a hex word at %d in %r" % (pos, s))
        value: Arg = int(m.group(), 16)
        pos = m.end()
        if s.startswith(" ", pos):
            pos += 1
            wide = s.startswith('L"', pos)
            if wide:
                pos += 1
            if s.startswith('"', pos):
                try:
                    text, pos = _read_quoted(s, pos, wide)
                except (IndexError, ValueError) as e:
                    raise ValueError("bad string at %d in %r" % (pos, s)) from e
                truncated = s.startswith("...", pos)
                if truncated:
                    pos += 3
                value = Str(text, value, wide, truncated)
            else:  # "(invalid)" and the like: keep the pointer
                end = s.find(",", pos)
                pos = len(s) if end < 0 else end
        args.append(value)
        if pos < len(s):
            if s[pos] != ",":
                raise ValueError("expected ',' at %d in %r" % (pos, s))
            pos += 1
    return args


class Trace:
    """The calls in a relay trace file, read incrementally as it grows.

    pid="main" keeps the calls of the process that made the first call (the
    product: only its module's calls are relayed); None keeps all; an int
    keeps that Windows process id.
    """

    def __init__(self, path: Union[str, os.PathLike], pid: Union[int, str, None] = "main"):
        self.path = os.fspath(path)
        self.pid_filter = pid
        self._offset = 0
        self._all: List[Call] = []
        self._open: dict = {}      # (pid, tid) -> stack of open calls
        self.unparsed: List[str] = []

    # -- reading ----------------------------------------------------------
    def reload(self) -> "Trace":
        try:
            with open(self.path, "rb") as f:
                f.seek(self._offset)
                data = f.read()
        except FileNotFoundError:
            return self
        end = data.rfind(b"\n") + 1      # a line still being written waits
        self._offset += end
        for line in data[:end].decode("utf-8", "replace").splitlines():
            self._feed(line)
        return self

    def _feed(self, line: str) -> None:
        m = _CALL_RE.match(line)
        if m:
            key = (m.group("pid"), m.group("tid"))
            stack = self._open.setdefault(key, [])
            try:
                args = parse_args(m.group("args"))
            except ValueError:
                self.unparsed.append(line)
                args = [m.group("args")]
            call = Call(tid=int(m.group("tid"), 16), dll=m.group("dll").lower(),
                        func=m.group("func"), args=args, t=_float(m.group("t")),
                        pid=_int16(m.group("pid")), seq=len(self._all), depth=len(stack))
            self._all.append(call)
            stack.append(call)
            return
        m = _RET_RE.match(line)
        if m:
            stack = self._open.get((m.group("pid"), m.group("tid")), [])
            dll, func = m.group("dll").lower(), m.group("func")
            # Unwind to the matching Call (a call left without Ret, e.g. by a
            # longjmp-like exit, must not swallow its caller's Ret).
            for i in range(len(stack) - 1, -1, -1):
                if stack[i].dll == dll and stack[i].func == func:
                    call = stack[i]
                    del stack[i:]
                    call.ret, call.returned = int(m.group("retval"), 16), True
                    call.t_ret = _float(m.group("t"))
                    break

    # -- queries ----------------------------------------------------------
    @property
    def main_pid(self) -> Optional[int]:
        return self._all[0].pid if self._all else None

    @property
    def pids(self) -> List[int]:
        return sorted({c.pid for c in self._all if c.pid is not None})

    def _selected(self) -> List[Call]:
        if self.pid_filter is None:
            return self._all
        pid = self.main_pid if self.pid_filter == "main" else self.pid_filter
        return [c for c in self._all if c.pid == pid]

    def calls(self, func: Union[str, Iterable[str], None] = None, dll: Optional[str] = None,
              since: int = 0, reload: bool = True) -> List[Call]:
        """Calls in order, optionally of one function name (or a set of names)
        and/or one DLL, with seq >= since."""
        if reload:
            self.reload()
        funcs = {func} if isinstance(func, str) else (set(func) if func is not None else None)
        dll = dll.lower() if dll else None
        return [c for c in self._selected() if c.seq >= since
                and (funcs is None or c.func in funcs) and (dll is None or c.dll == dll)]

    def mark(self) -> int:
        """A position for `since`: calls made from now on have seq >= mark()."""
        self.reload()
        return len(self._all)

    def wait_for_call(self, func: Union[str, Iterable[str]],
                      predicate: Optional[Callable[[Call], bool]] = None,
                      timeout: float = 10.0, since: int = 0, interval: float = 0.05) -> Call:
        """The first call of func (with seq >= since) that satisfies predicate;
        waits for it up to `timeout` seconds, then raises TimeoutError."""
        deadline = time.monotonic() + timeout
        while True:
            for call in self.calls(func, since=since):
                if predicate is None or predicate(call):
                    return call
            if time.monotonic() >= deadline:
                seen = self.calls(func, since=since, reload=False)
                raise TimeoutError("no matching %s call within %.1f s in %s; %d call(s) of it seen%s"
                                   % (func, timeout, self.path, len(seen),
                                      (", last: %s" % seen[-1]) if seen else ""))
            time.sleep(interval)


def _float(text: Optional[str]) -> Optional[float]:
    return float(text) if text else None


def _int16(text: Optional[str]) -> Optional[int]:
    return int(text, 16) if text else None


# -- sequence assertions ----------------------------------------------------
class _Any:
    def __repr__(self) -> str:
        return "ANY"


ANY = _Any()
"""Matches any argument; as a whole args pattern, any argument list. A
trailing ... (Ellipsis) in an args pattern matches the remaining arguments."""

Expected = Union[str, Tuple[str], Tuple[str, object]]


def _quote(text: str) -> str:
    body = "".join({"\\": "\\\\", '"': '\\"', "\n": "\\n", "\r": "\\r", "\t": "\\t"}.get(c, c)
                   for c in text)
    return '"%s"' % body


def _render(value) -> str:
    if value is ANY:
        return "*"
    if value is Ellipsis:
        return "..."
    if isinstance(value, Str):
        return repr(value)
    if isinstance(value, str):
        return _quote(value)
    if isinstance(value, int):
        return str(value) if value < 0x10000 else "0x%0*x" % (WIDTH // 4 if value >> 32 else 8,
                                                                  value)
    if callable(value):
        return "<%s>" % getattr(value, "__name__", "predicate")
    return repr(value)


def _low_word(arg):
    """A 32-bit argument of a 64-bit call travels in the low half of its
    register, and relay prints the upper half too, which holds whatever the
    register held before."""
    return arg & 0xFFFFFFFF if WIDTH == 64 and isinstance(arg, int) else arg


def _arg_matches(pattern, arg) -> bool:
    if pattern is ANY:
        return True
    if callable(pattern) and not isinstance(pattern, (str, int)):
        return bool(pattern(arg))
    if isinstance(pattern, int) and isinstance(arg, Str):
        return pattern == arg.ptr
    if isinstance(pattern, str) and not isinstance(arg, str):
        return False
    # A pattern that fits in 32 bits is a 32-bit argument's value; a wider
    # one (pointer(-1) at 64 bits) matches whole.
    if isinstance(pattern, int) and 0 <= pattern <= 0xFFFFFFFF and pattern != arg:
        return pattern == _low_word(arg)
    return pattern == arg


def _normalize(item: Expected) -> Tuple[str, object]:
    if isinstance(item, str):
        return item, ANY
    if len(item) == 1:
        return item[0], ANY
    return item[0], item[1]


def _matches(expected: Tuple[str, object], call: Call) -> bool:
    func, pattern = expected
    if func != call.func:
        return False
    if pattern is ANY or pattern is None:
        return True
    pattern = list(pattern)
    if pattern and pattern[-1] is Ellipsis:
        pattern.pop()
        if len(call.args) < len(pattern):
            return False
    elif len(call.args) != len(pattern):
        return False
    return all(_arg_matches(p, a) for p, a in zip(pattern, call.args))


def _render_expected(expected: Tuple[str, object]) -> str:
    func, pattern = expected
    if pattern is ANY or pattern is None:
        return "%s(*)" % func
    return "%s(%s)" % (func, ", ".join(_render(p) for p in pattern))


def _render_actual(call: Call, hint: Optional[Tuple[str, object]]) -> str:
    """The call as text, masked like `hint` (an expected entry of the same
    function): arguments that match their pattern print as the pattern, so
    that only real differences show in a diff."""
    if hint is None:
        return str(call)
    if hint[1] is ANY or hint[1] is None:
        return "%s(*)" % call.func
    pattern = list(hint[1])
    rest = bool(pattern) and pattern[-1] is Ellipsis
    if rest:
        pattern.pop()
    parts = [_render(p) if i < len(pattern) and _arg_matches(p, a) else _render(a)
             for i, (p, a) in enumerate(zip(pattern + [None] * len(call.args), call.args))]
    if rest:
        parts = parts[:len(pattern)] + ["..."]
    return "%s(%s)" % (call.func, ", ".join(parts))


def assert_sequence(actual_calls: Sequence[Call], expected: Sequence[Expected]) -> None:
    """Asserts that the calls of the functions named in `expected`, in order,
    are exactly `expected`. Each expected item is "Func", (func,) or
    (func, args) where args is ANY or a sequence of values, ANY, predicates
    (callables) and an optional trailing ... . An int also matches a string
    argument's pointer. On a mismatch raises AssertionError with a unified
    diff of the two sequences."""
    wanted = [_normalize(e) for e in expected]
    names = {func for func, _ in wanted}
    actual = [c for c in actual_calls if c.func in names]
    if len(actual) == len(wanted) and all(_matches(e, c) for e, c in zip(wanted, actual)):
        return
    expected_lines = [_render_expected(e) for e in wanted]
    actual_lines = []
    for i, call in enumerate(actual):
        same_func = [e for e in wanted if e[0] == call.func]
        positional = wanted[i] if i < len(wanted) and wanted[i][0] == call.func else None
        hint = next((e for e in same_func if _matches(e, call)), positional or
                    (same_func[0] if same_func else None))
        actual_lines.append(_render_actual(call, hint))
    diff = "\n".join(difflib.unified_diff(expected_lines, actual_lines, "expected", "actual",
                                          lineterm=""))
    raise AssertionError("call sequence differs (%d expected, %d actual):\n%s"
                         % (len(wanted), len(actual), diff))


__all__ = ["ANY", "Call", "DEFAULT_FUNCTIONS", "NIM_ADD", "NIM_DELETE", "NIM_MODIFY",
           "PRODUCT_MODULE", "RELAY_WINEDEBUG", "Str", "Trace", "assert_sequence",
           "parse_args", "pointer", "relay_reg"]
