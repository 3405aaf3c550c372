"""The Power key: with no target it closes the two other applications and
starts (or closes) the default one, which the WatchTimer then watches until
it exits, so that the remote falls back to the pointer; with a target it
closes the target; it warns about a default application that is not
installed and acts all the same.
"""

from __future__ import annotations

import pytest

from remote_steps import (ANY, CAPTION, NO_ACTION_KEY, POWER, WM_COMMAND, WM_KEYDOWN,
                          assert_effects, closing, front, install, launch_line, main_window, press,
                          run_apps, search, selector, start_remote, where)
from winebench.surface import APPS, KEYS

VK_SPACE = 32
SPACE, RIGHT = KEYS["Play"], KEYS["7"]
SW_SHOW, IDOK = 5, 1
WATCH_TIMER, WATCH_INTERVAL_MS = 2, 1000
REINITIALIZE = "Please re-initialize the TV application settings."
MB_SETFOREGROUND = 0x10000
LOOKUPS = ("FindWindowExA", "FindWindowA", "SetTimer", "KillTimer")


def watch_stopped(product, since: int):
    return product.trace.wait_for_call("KillTimer", lambda c: c.args[1] == WATCH_TIMER,
                                       timeout=15, since=since)


def assert_pointer_moves(bench, product, card) -> None:
    """The remote is back to the pointer: a direction key moves it."""
    x, y = bench.probe.set_cursor(500, 400)
    mark = product.trace.mark()
    press(card, RIGHT)
    assert [[c.dword(0), c.dword(1)] for c in product.trace.calls("SetCursorPos", since=mark)] == [
        [x + 1, y]]


def test_power_without_target_starts_the_default_and_the_watch_ends_with_it(bench):
    apps = run_apps(bench, APPS["windvr"]["power_closes"])  # the default's others, in order
    windvr = install(bench, "windvr", {"exit_after": 3000})
    product, card = start_remote(bench, DefaultTVAPP=selector("windvr"))
    owner = main_window(product)

    mark = product.trace.mark()
    press(card, POWER)
    watch = product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == WATCH_TIMER,
                                        since=mark)
    windvr.wait_windows()
    assert_effects(product, mark, closing(*apps.values())
                   + [("WinExec", (launch_line("windvr"), SW_SHOW))] + front(windvr.window("main"))
                   + [("SetTimer", (owner, WATCH_TIMER, WATCH_INTERVAL_MS, ANY))],
                   also=LOOKUPS, until=watch.seq + 1)
    assert all(app.wait_exit() == 0 for app in apps.values())

    # The started application is the target: the key goes to it without adoption.
    mark = product.trace.mark()
    press(card, SPACE)
    assert_effects(product, mark, [("PostMessageA", (windvr.window(), WM_KEYDOWN, VK_SPACE, 0))])
    searched = [c.args[2] for c in product.trace.calls("FindWindowExA", since=mark)]
    assert where(next(iter(APPS)), "adopt")["cls"] not in searched  # the first adoption search

    assert windvr.wait_exit() == 0
    stop = watch_stopped(product, mark)
    assert stop.args == [owner, WATCH_TIMER]
    assert_pointer_moves(bench, product, card)


@pytest.mark.parametrize("identity, default", [("beyondtv", "beyondtv"), ("windvr", "quillmarsh")],
                         ids=["beyondtv-default", "windvr-target"])
def test_power_closes_the_running_target_or_default(bench, identity, default):
    app = run_apps(bench, [identity])[identity]
    product, card = start_remote(bench, DefaultTVAPP=selector(default))
    adopt = identity != default
    if adopt:
        press(card, NO_ACTION_KEY)

    mark = product.trace.mark()
    press(card, POWER)
    # As the default, the others (none runs) are looked for and not closed first.
    others = [] if adopt else [call for other in APPS[identity]["power_closes"]
                               for call in search(other, "close_test")]
    # Then its running test, and its close; no watch.
    assert_effects(product, mark, others + search(identity, "key_target") + closing(app),
                   also=LOOKUPS)
    assert app.wait_exit() == 0
    bench.probe.wait_for_no_window(**where(identity))
    assert_pointer_moves(bench, product, card)


def test_default_application_not_installed_is_reported_then_the_others_close(bench):
    apps = run_apps(bench, APPS["windvr"]["power_closes"])  # the default's others, in order
    product, card = start_remote(bench, DefaultTVAPP=selector("windvr"))  # not installed
    owner = main_window(product)

    mark = product.trace.mark()
    press(card, POWER)
    warning = [("MessageBoxA", (0, REINITIALIZE, CAPTION, MB_SETFOREGROUND))]
    box = bench.probe.wait_for_window(cls="#32770", title=CAPTION)
    assert_effects(product, mark, warning, also=LOOKUPS)  # nothing more while it is open

    bench.probe.post(box["hwnd"], WM_COMMAND, IDOK, 0)
    assert all(app.wait_exit() == 0 for app in apps.values())
    watch = product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == WATCH_TIMER,
                                        since=mark)
    assert_effects(product, mark, warning + closing(*apps.values())
                   + [("SetTimer", (owner, WATCH_TIMER, WATCH_INTERVAL_MS, ANY))], also=LOOKUPS)
    # Nothing to watch: the timer stops 2 s after its first tick, which
    # does not hold up the poll meanwhile.
    stop = watch_stopped(product, watch.seq)
    assert stop.t - watch.t >= 2.9
