"""Steps shared by the end-to-end tests of the remote at work: a started
product with its emulated card, remote keys pressed through the card until the
product has handled them, fake TV applications run or installed, and what
reached them read back from their logs and from the API trace.
"""

from __future__ import annotations

import sys
from contextlib import contextmanager
from dataclasses import dataclass
from pathlib import Path
from typing import Dict, Iterable, Iterator, List, Mapping, Optional, Sequence, Tuple

import pytest

from winebench import cardemu, fakeapp
from winebench.surface import APPS, KEYS, SURFACE
from winebench.scenario import Bench, Card, Product
from winebench.trace import ANY, DEFAULT_FUNCTIONS, assert_sequence, pointer  # noqa: F401
from winebench.wine import WIDTH, wait_for

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from real_players import PLAYERS, VK  # noqa: E402  the record of the players' own keys

POWER = KEYS["Power"]
NO_ACTION_KEY = 15        # no key of the remote: acts nowhere; with no target it can still adopt
POLL_TIMER = 1
REPEAT_GAP_MS = cardemu.REPEAT_GAP_MS
HOLD_AT_MOST_MS = 60000   # a key held until read often enough is let go by then

WM_KEYDOWN = 0x0100
WM_COMMAND = 0x0111
KEYEVENTF_EXTENDEDKEY = 1
KEYEVENTF_EXTENDED_UP = 3

CAPTION = "Marlow Remote Control"
INITIAL_SELECTOR = SURFACE["initial_default_selector"]  # before the settings name a default

# Every way the product acts on the world outside its own window.
EFFECTS = ("PostMessageA", "SendMessageA", "keybd_event", "mouse_event", "SetCursorPos",
           "SendInput", "SendMessageTimeoutA",
           "SetForegroundWindow", "SetActiveWindow", "WinExec", "MessageBoxA",
           "DialogBoxParamA", "OpenProcessToken", "SetSystemPowerState", "ExitWindowsEx")

# Keyboard events of the low-level hook name the side of a modifier.
_GENERIC_VK = {0xA0: 0x10, 0xA1: 0x10, 0xA2: 0x11, 0xA3: 0x11, 0xA4: 0x12, 0xA5: 0x12}


def of_32bit_product(why: str):
    """Marks a test of what exists only for the 32-bit program (the
    installer, the PE32 header): at 64 bits it is skipped, saying why.
    scripts/lib/results.py counts these skips by the words of the reason."""
    return pytest.mark.skipif(WIDTH != 32, reason="of the 32-bit product: " + why)


def dword(value: int) -> int:
    """A signed value as relay prints it (an unsigned 32-bit word)."""
    return value & 0xFFFFFFFF


# The shutdown privilege enabled, as standby and shutdown both do it first.
ENABLE_SHUTDOWN_PRIVILEGE = [
    ("OpenProcessToken", (pointer(-1), 0x28, ANY)),  # the own process; adjust and query
    ("LookupPrivilegeValueA", (0, "SeShutdownPrivilege", ANY)),
    ("AdjustTokenPrivileges", (ANY, 0, ANY, 0, 0, 0)),
]


def selector(app: str) -> int:
    """The value of the default-application setting that names the application."""
    return APPS[app]["selector"]


def where(app: str, purpose: str = "key_target") -> dict:
    """The cls and title (for the probe and App.hwnd) of the application's
    window for a purpose: "key_target", "adopt", "running", "main", "raise"..."""
    window = APPS[app]["windows"][purpose]
    return {arg: window[field] for arg, field in (("cls", "class"), ("title", "title"))
            if window[field]}


def search(app: str, purpose: str) -> list:
    """The traced call with which the program begins to look for that window;
    none for a title among all windows, read by an untraced walk."""
    window = APPS[app]["windows"][purpose]
    cls, title = window["class"] or 0, window["title"] or 0
    if window["lookup"] == "FindWindow":
        return [("FindWindowA", (cls, title))]
    if window["lookup"] == "DesktopChild":
        return [("FindWindowExA", (ANY, 0, cls, title))]
    return [("FindWindowExA", (ANY, 0, cls, 0))] if cls else []


def launch_line(app: str) -> str:
    """The command line that starts the application installed in its usual folder."""
    return '"%s\\%s"' % (fakeapp.identity(app).default_dir, APPS[app]["install"]["executable"])


@contextmanager
def opened_bench(wine, work: Path, extra_functions: Sequence[str] = ()) -> Iterator[Bench]:
    """A bench tracing DEFAULT_FUNCTIONS and extra_functions, closed on leaving."""
    bench = Bench(wine, work, functions=tuple(DEFAULT_FUNCTIONS) + tuple(extra_functions))
    try:
        yield bench
    finally:
        bench.close()


def start_remote(bench: Bench, **settings) -> Tuple[Product, Card]:
    """Registers the card, writes the settings and starts the product; returns
    once it polls the card."""
    card = bench.register_cards()[0]
    if settings:
        bench.set_settings(**settings)
    product = bench.start()
    product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == POLL_TIMER)
    return product, card


def main_window(product: Product) -> int:
    return fakeapp.hwnd_value(product.windows()[0]["hwnd"])


def press(card: Card, *codes: int, timeout: float = 20.0) -> None:
    """Taps the codes in order and returns once the product has read the last
    of them and polled again, i.e. handled every one."""
    for code in set(codes):
        cardemu.wait_until_a_new_press(card.log_path, code)
    start = len(card.log())
    for code in codes:
        card.feed.tap(code)

    cardemu.wait_for_log(card.log_path, lambda entries: cardemu.handled(entries, start, len(codes)),
                         timeout=timeout)


def hold(card: Card, code: int, ms: int, reads: int = 0) -> List[dict]:
    """Holds a key on the remote for ms, or, given reads, until the product
    has read it that often (as long as a busy machine takes), and returns
    the card's reads of it once the key is up again and the product has
    handled the last read."""
    cardemu.wait_until_a_new_press(card.log_path, code)
    start = len(card.log())

    def reads_of(entries: list) -> List[dict]:
        return [e for e in entries[start:] if cardemu.is_read(e) and e["value"] == code]

    if reads:
        card.feed.hold(code, HOLD_AT_MOST_MS)
        cardemu.wait_for_log(card.log_path, lambda entries: len(reads_of(entries)) >= reads,
                             timeout=HOLD_AT_MOST_MS / 1000)
        card.feed.hold(code, 0)  # a hold replaces the one before: the key is up
    else:
        card.feed.hold(code, ms)

    def released(entries: list) -> bool:
        new = entries[start:]
        read_at = [i for i, e in enumerate(new) if cardemu.is_read(e) and e["value"] == code]
        if not read_at:
            return False
        return any(e.get("req") == "status" and e.get("value") == cardemu.STATUS_IDLE
                   for e in new[read_at[-1] + 1:])

    return reads_of(cardemu.wait_for_log(card.log_path, released, timeout=ms / 1000 + 20))


def repeat_counts(reads: Sequence[dict]) -> List[int]:
    """The repeat count of each read of a held key (as hold() returns them):
    0 at the first, one more for each read less than 250 ms after the one
    before it, as the card's clock measures."""
    counts: List[int] = []
    for i, read in enumerate(reads):
        gap_ms = (read["t_us"] - reads[i - 1]["t_us"]) / 1000 if i else None
        counts.append(counts[-1] + 1 if gap_ms is not None and gap_ms < REPEAT_GAP_MS else 0)
    return counts


def wait_new(read, before: int, count: int, timeout: float = 10.0) -> list:
    """The entries of read() after its first `before`, once there are `count`."""
    def new():
        entries = read()[before:]
        return entries if len(entries) >= count else None
    return wait_for(new, timeout, message="%d new entries" % count)


def assert_polls_on(bench: Bench, product: Product, card: Card) -> None:
    """The remote still works: a direction key moves the pointer, and does nothing else."""
    x, y = bench.probe.set_cursor(500, 400)
    mark = product.trace.mark()
    press(card, KEYS["9"])
    assert_effects(product, mark, [("SetCursorPos", (x, y + 1))])


def assert_effects(product: Product, since: int, expected: Sequence,
                   also: Sequence[str] = (), until: Optional[int] = None) -> None:
    """The product's effects from `since` (up to `until`, both trace
    positions) are exactly `expected`, in order; effects are the calls of
    EFFECTS and of the functions named in `expected` and `also`; a message
    the product posts to its own window is none."""
    names = {e if isinstance(e, str) else e[0] for e in expected}
    own = {fakeapp.hwnd_value(w["hwnd"]) for w in product.windows()}
    calls = [c for c in product.trace.calls(set(EFFECTS) | set(also) | names, since=since)
             if (until is None or c.seq < until) and not (c.func == "PostMessageA" and c.args[0] in own)]
    assert_sequence(calls, expected)
    extra = [str(c) for c in calls if c.func not in names]
    assert not extra, "unexpected calls: %s" % extra


def chord(*vks: int) -> list:
    """The keybd_event calls of a key chord: presses in order, releases in
    reverse order, all with the extended-key flag."""
    return ([("keybd_event", (vk, 0, KEYEVENTF_EXTENDEDKEY, 0)) for vk in vks]
            + [("keybd_event", (vk, 0, KEYEVENTF_EXTENDED_UP, 0)) for vk in reversed(vks)])


def front(hwnd) -> list:
    return [("SetForegroundWindow", (hwnd,)), ("SetActiveWindow", (hwnd,))]


def chord_strokes(*vks: int) -> List[Tuple[int, bool]]:
    """What a low-level keyboard hook sees of a chord: (vk, down) pairs."""
    return [(vk, True) for vk in vks] + [(vk, False) for vk in reversed(vks)]


def played(profile: str, label: str) -> List[Tuple[int, bool]]:
    """What a keyboard hook sees of the real player's own key for the remote
    key ("OK.hold" for its long press), as tests/real_players.py records it."""
    action = PLAYERS[profile]["keys"][label]["action"]
    return chord_strokes(*(VK.get(name) or ord(name) for name in action.split("+")))


@dataclass
class App:
    """A fake TV application installed in the bench's prefix."""

    bench: Bench
    identity: str
    paths: fakeapp.InstalledApp
    windows: int  # how many top-level windows it shows

    def log(self) -> list:
        return fakeapp.read_log(self.paths.log)

    def start(self, timeout: float = 20.0) -> "App":
        """Runs it (as the user would) and waits until its windows exist."""
        self.bench.wine.start([self.paths.exe])
        self.wait_windows(timeout)
        return self

    def wait_windows(self, timeout: float = 20.0) -> None:
        wait_for(lambda: len(fakeapp.events(self.log(), "window")) >= self.windows, timeout,
                 message="windows of %s" % self.identity)

    def hwnd(self, cls: Optional[str] = None, title: Optional[str] = None) -> int:
        for window in fakeapp.events(self.log(), "window"):
            if cls in (None, window["class"]) and title in (None, window["title"]):
                return fakeapp.hwnd_value(window["hwnd"])
        raise LookupError("%s has no window class=%r title=%r" % (self.identity, cls, title))

    def window(self, purpose: str = "key_target") -> int:
        """Its window for a purpose (see where())."""
        return self.hwnd(**where(self.identity, purpose))

    def received(self, msg: str) -> List[Tuple[int, int, int]]:
        """(hwnd, wParam, lParam) of every `msg` its windows received."""
        return [(fakeapp.hwnd_value(e["hwnd"]), e["wParam"], e["lParam"])
                for e in fakeapp.messages(self.log(), msg)]

    def commands(self) -> List[Tuple[int, int, int]]:
        """(hwnd, wParam, lParam) of every command in its private command message."""
        return self.received("MSG%d" % APPS[self.identity]["command_message"])

    def strokes(self) -> List[Tuple[int, bool]]:
        """Injected keyboard events its low-level hook saw, as (vk, down)."""
        return [(_GENERIC_VK.get(e["vk"], e["vk"]), e["down"])
                for e in fakeapp.ll_keys(self.log()) if e["injected"]]

    def exited(self) -> bool:
        return fakeapp.exit_code(self.log()) is not None

    def wait_exit(self, timeout: float = 20.0) -> int:
        wait_for(self.exited, timeout, message="%s exit" % self.identity)
        return fakeapp.exit_code(self.log())


def command(app: App, number: int, purpose: str = "key_target") -> tuple:
    """The post of a command in the application's private command message."""
    return ("PostMessageA", (app.window(purpose), APPS[app.identity]["command_message"], number, 0))


def closing(*apps: App) -> list:
    """What the program does to close the running applications, in order: it
    looks for each one's close-test window, then posts it the close command
    or types the close chord (raising that window first, where the close says so)."""
    calls = []
    for app in apps:
        close = APPS[app.identity]["close"]
        calls += search(app.identity, "close_test")
        if close["kind"] == "command":
            calls.append(command(app, close["command"], "close_test"))
        else:
            raised = close["kind"] == "raise_then_chord"
            calls += (front(app.window("close_test")) if raised else []) + chord(*close["keys"])
    return calls


def install(bench: Bench, identity: str, config: Optional[Mapping] = None) -> App:
    """Installs the fake application with a fresh log."""
    paths = bench.install_app(identity, config=config)
    paths.log.unlink(missing_ok=True)
    windows = (config or {}).get("window", fakeapp.identity(identity).windows)
    single = isinstance(windows, str) or isinstance(windows[0], str)  # "C|T" or (class, title)
    return App(bench, identity, paths, 1 if single else len(windows))


def player(bench: Bench, exe_name: str = "vlc.exe", window: Optional[tuple] = None) -> App:
    """A fake player of no TV application, started under the file name (in
    C:\\Players), with one window, (class, title) or its own, made the
    window in front."""
    config = {"window": window} if window else None
    app = install(bench, exe_name, config).start()
    bench.to_front(app.hwnd())
    return app


def run_apps(bench: Bench, identities: Iterable[str],
             configs: Optional[Mapping[str, Mapping]] = None) -> Dict[str, App]:
    configs = configs or {}
    return {i: install(bench, i, configs.get(i)).start() for i in identities}
