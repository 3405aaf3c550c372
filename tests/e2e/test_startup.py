"""The start of the program: the first start creates its settings, a start
polls the card on timer 1 every 65 ms and sets no other timer;
AlwaysRemoteOff = 1 ends the start at once (other values and a missing
selector: the settings store's own tests); a second copy ends at once with
0 and leaves the first alone; and every start first retires the window of
an older remote program.
"""

from __future__ import annotations

import shutil
from typing import List

from remote_steps import INITIAL_SELECTOR, selector
from shell_steps import (ANY, CAPTION, POLL_INTERVAL_MS, POLL_TIMER, assert_sequence, hwnd,
                         start_shell)
from winebench import cardemu, fakeapp
from winebench.trace import NIM_ADD, NIM_DELETE
from winebench.wine import RegValue, wait_for

HKLM = 0x80000002
KEY_READ, KEY_SET_VALUE = 0x20019, 0x0002  # the least each step needs
REG_DWORD = 4
ERROR_FILE_NOT_FOUND = 2
SETTINGS_PATH = r"Software\Varnel Multimedia\Osprey Utilities"
WM_CLOSE, WM_DESTROY = 0x0010, 0x0002
RETIRED_PREFIX = "Rorad Edazod Idozovu"
OLDER_CLASS = "Varnel Remote Control"


def write_dword(name: str) -> tuple:
    return ("RegSetValueExA", (ANY, name, 0, REG_DWORD, ANY, 4))


def status_reads(card) -> list:
    return cardemu.requests(card.log(), "status")


def wait_polls(card, count: int) -> None:
    cardemu.wait_for_log(card.log_path, lambda log: len(cardemu.requests(log, "status")) >= count,
                         timeout=20)


def test_first_start_creates_the_settings_and_polls_on_timer_1_only(bench):
    shell = start_shell(bench)
    assert_sequence(shell.trace.calls(), [
        ("RegOpenKeyExA", (HKLM, SETTINGS_PATH, 0, KEY_READ, ANY)),
        ("RegCreateKeyExA", (HKLM, SETTINGS_PATH, 0, 0, 0, KEY_SET_VALUE, 0, ANY, 0)),
        write_dword("DefaultTVAPP"), write_dword("AlwaysRemoteOff"), ("RegFlushKey", ANY),
        ("SetTimer", (shell.window, POLL_TIMER, POLL_INTERVAL_MS, ANY))])
    assert shell.trace.calls("RegOpenKeyExA")[0].ret == ERROR_FILE_NOT_FOUND
    assert bench.setting("DefaultTVAPP") == RegValue("REG_DWORD", INITIAL_SELECTOR)
    assert bench.setting("AlwaysRemoteOff") == RegValue("REG_DWORD", 0)

    wait_polls(bench.card(), 30)  # two seconds of polling: still one timer
    assert [c.args[:2] + [c.dword(i) for i in range(2, min(3, len(c.args)))]
            for c in shell.trace.calls(("SetTimer", "KillTimer"))] == [
        [shell.window, POLL_TIMER, POLL_INTERVAL_MS]]


def test_always_remote_off_1_ends_the_start_before_any_poll(bench):
    card = bench.register_cards()[0]
    bench.set_settings(DefaultTVAPP=selector("beyondtv"), AlwaysRemoteOff=1)
    product = bench.start(wait=False)
    assert product.wait_exit() == 0
    calls = product.trace.calls()
    assert_sequence(calls, [("Shell_NotifyIconA", (NIM_ADD, ANY)),
                            ("Shell_NotifyIconA", (NIM_DELETE, ANY)), ("PostQuitMessage", (0,))])
    assert not [str(c) for c in calls if c.func in ("SetTimer", "RegSetValueExA")]
    assert [e["ev"] for e in card.log()] == ["load", "join"]  # found, never asked


# -- other programs -------------------------------------------------------------
class WindowPlayer:
    """The fake application under a name of no TV application, showing
    windows of our choosing; it only logs WM_CLOSE."""

    def __init__(self, bench, name: str, windows: List[str]):
        directory = bench.wine.drive_c / name
        directory.mkdir(parents=True, exist_ok=True)
        exe = directory / fakeapp.EXE_NAME
        shutil.copyfile(bench.binary(fakeapp.EXE_NAME), exe)
        exe.with_suffix(".cfg").write_text(fakeapp.config_text({"window": windows,
                                                                "ignore_close": True}))
        self.log_path = exe.with_suffix(".log")
        self.log_path.unlink(missing_ok=True)
        bench.wine.start([exe])
        made = wait_for(lambda: self._made(len(windows)), 20, message="windows of " + name)
        # Each window is activated as it shows, and activations settle a
        # moment later: wait until the last one made is in front.
        self.stacked = [fakeapp.hwnd_value(w["hwnd"]) for w in reversed(made)]
        wait_for(lambda: self._in_desktop_order(bench) == self.stacked, 20,
                 message="windows of %s stacked" % name)

    def _made(self, count: int) -> list:
        made = fakeapp.events(self.log(), "window")
        return made if len(made) == count else None

    def _in_desktop_order(self, bench) -> list:
        return [fakeapp.hwnd_value(w["hwnd"]) for w in bench.probe.windows()
                if fakeapp.hwnd_value(w["hwnd"]) in self.stacked]

    def log(self) -> list:
        return fakeapp.read_log(self.log_path)

    def retirements(self) -> list:
        """(hwnd, what) for each WM_CLOSE and (posted) WM_DESTROY it got;
        empty until two have come, the two of one retirement."""
        got = [(fakeapp.hwnd_value(e["hwnd"]), "WM_CLOSE" if e["ev"] == "msg" else "WM_DESTROY")
               for e in self.log() if (e["ev"] == "msg" and e["msg"] == "WM_CLOSE")
               or e["ev"] == "destroy"]
        return got if len(got) >= 2 else []


def retire_calls(target: int) -> list:
    return [("PostMessageA", (target, WM_CLOSE, 0, 0)),
            ("PostMessageA", (target, WM_DESTROY, 0, 0))]


def test_each_start_retires_the_older_window_and_a_second_copy_leaves_the_first_alone(bench):
    titles = [RETIRED_PREFIX, RETIRED_PREFIX + " 2.0", "Old " + RETIRED_PREFIX,
              RETIRED_PREFIX.upper(), RETIRED_PREFIX.lower()]
    older = WindowPlayer(bench, "Rorad", ["RoradMain|" + t for t in titles])
    # Only the first window, in the desktop's order, whose title begins with
    # the prefix exactly: the near misses lie in front of it, the exact
    # title behind it.
    target = older.stacked[-2]
    retire = retire_calls(target) + [("FindWindowA", (OLDER_CLASS, 0)),
                                     ("FindWindowA", (CAPTION, 0))]

    first = start_shell(bench)
    assert_sequence(first.trace.calls(), retire)
    assert wait_for(older.retirements, 10) == [(target, "WM_CLOSE"), (target, "WM_DESTROY")]

    mark = first.trace.mark()
    polls = len(status_reads(bench.card()))
    bench.install_apps()  # where they are installed is read only by a copy that runs
    second = bench.start(wait=False)
    assert second.wait_exit() == 0
    assert_sequence(second.trace.calls(), retire)  # retired again, then it ends
    # Nothing else: not even the install locations are read by a copy that ends.
    assert not second.trace.calls(("CreateWindowExA", "Shell_NotifyIconA", "SetTimer",
                                   "RegQueryValueExA", "RegOpenKeyExA"))

    wait_polls(bench.card(), polls + 5)
    assert first.product.running()
    assert first.trace.calls(since=mark) == []
    assert [hwnd(w) for w in first.product.windows()] == [first.window]


def test_a_title_that_is_exactly_the_older_programs_is_retired_behind_look_alikes(bench):
    titles = [RETIRED_PREFIX, RETIRED_PREFIX.lower(), "Old " + RETIRED_PREFIX]
    older = WindowPlayer(bench, "Rorad", ["RoradMain|" + t for t in titles])
    target = older.stacked[-1]  # made first: the look-alikes lie in front of it
    shell = start_shell(bench)
    assert_sequence(shell.trace.calls(), retire_calls(target))
    assert wait_for(older.retirements, 10) == [(target, "WM_CLOSE"), (target, "WM_DESTROY")]


def test_window_of_the_older_program_class_counts_as_another_copy(bench):
    WindowPlayer(bench, "Varnel", [OLDER_CLASS + "|Remote"])
    product = bench.start(wait=False)
    assert product.wait_exit() == 0
    assert [str(c) for c in product.trace.calls(("FindWindowA", "CreateWindowExA"))] == [
        'FindWindowA("%s", 0)' % OLDER_CLASS]
