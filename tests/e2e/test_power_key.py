"""The Power key: with no target it closes the two other applications and
starts (or closes) the default one, which the WatchTimer then watches until
it exits, so that the remote falls back to the pointer; with a target it
closes the target; it warns about a default application that is not
installed and acts all the same.
"""

from __future__ import annotations

import pytest

from remote_steps import (ANY, CAPTION, NO_ACTION_KEY, POWER, QUILLMARSH_MESSAGE, TV_WINDOW,
                          WM_COMMAND, WM_KEYDOWN, App, assert_effects, chord, front, install,
                          main_window, press, run_apps, start_remote)
from winebench import fakeapp

VK_SPACE, VK_SHIFT, VK_CONTROL, VK_MENU, VK_F4, VK_F8 = 32, 16, 17, 18, 115, 119
SPACE, RIGHT = 68, 6
SW_SHOW, IDOK = 5, 1
WATCH_TIMER, WATCH_INTERVAL_MS = 2, 1000
QUILLMARSH_CLOSE = 1
REINITIALIZE = "Please re-initialize the TV application settings."
MB_SETFOREGROUND = 0x10000

CLOSE_WINDVR = chord(VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8)
FIND_BEYONDTV = ("FindWindowExA", (ANY, 0, "Streamzap.WM.D3D", 0))
FIND_QUILLMARSH = ("FindWindowExA", (ANY, 0, "VarnelMainPanel_Class", 0))
LOOKUPS = ("FindWindowExA", "FindWindowA", "SetTimer", "KillTimer")


def close_beyond_tv(app: App) -> list:
    return [FIND_BEYONDTV] + front(app.hwnd(**TV_WINDOW["beyondtv"])) + chord(VK_MENU, VK_F4)


def close_quillmarsh(app: App) -> list:
    panel = app.hwnd(**TV_WINDOW["quillmarsh"])
    return [FIND_QUILLMARSH, ("PostMessageA", (panel, QUILLMARSH_MESSAGE, QUILLMARSH_CLOSE, 0))]


# What Power does to a running application: its running test, then its close.
POWER_CLOSES = {"windvr": lambda app: CLOSE_WINDVR,  # found by walking the windows: not traced
                "beyondtv": lambda app: [FIND_BEYONDTV] + close_beyond_tv(app),
                "quillmarsh": lambda app: [FIND_QUILLMARSH] + close_quillmarsh(app)}


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
    apps = run_apps(bench, ["beyondtv", "quillmarsh"])
    windvr = install(bench, "windvr", {"exit_after": 3000})
    product, card = start_remote(bench, DefaultTVAPP=8)
    owner = main_window(product)
    ident = fakeapp.identity("windvr")
    command_line = '"%s\\%s"' % (ident.default_dir, ident.exe_name)

    mark = product.trace.mark()
    press(card, POWER)
    watch = product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == WATCH_TIMER,
                                        since=mark)
    windvr.wait_windows()
    assert_effects(product, mark, close_beyond_tv(apps["beyondtv"])
                   + close_quillmarsh(apps["quillmarsh"])
                   + [("WinExec", (command_line, SW_SHOW))] + front(windvr.hwnd(title="WinDVR 6"))
                   + [("SetTimer", (owner, WATCH_TIMER, WATCH_INTERVAL_MS, ANY))],
                   also=LOOKUPS, until=watch.seq + 1)
    assert apps["beyondtv"].wait_exit() == apps["quillmarsh"].wait_exit() == 0

    # The started application is the target: the key goes to it without adoption.
    mark = product.trace.mark()
    press(card, SPACE)
    video = windvr.hwnd(**TV_WINDOW["windvr"])
    assert_effects(product, mark, [("PostMessageA", (video, WM_KEYDOWN, VK_SPACE, 0))])
    assert "VarnelMainPanel_Class" not in [c.args[2] for c in product.trace.calls(
        "FindWindowExA", since=mark)]

    assert windvr.wait_exit() == 0
    stop = watch_stopped(product, mark)
    assert stop.args == [owner, WATCH_TIMER]
    assert_pointer_moves(bench, product, card)


@pytest.mark.parametrize("identity, adopt, selector", [("beyondtv", False, 7), ("windvr", True, 6)],
                         ids=["beyondtv-default", "windvr-target"])
def test_power_closes_the_running_target_or_default(bench, identity, adopt, selector):
    app = run_apps(bench, [identity])[identity]
    product, card = start_remote(bench, DefaultTVAPP=selector)
    if adopt:
        press(card, NO_ACTION_KEY)

    mark = product.trace.mark()
    press(card, POWER)
    # As the default, WinDVR 6 and Quillmarsh (neither runs) are closed first.
    others = [] if adopt else [FIND_QUILLMARSH]
    assert_effects(product, mark, others + POWER_CLOSES[identity](app), also=LOOKUPS)  # no watch
    assert app.wait_exit() == 0
    bench.probe.wait_for_no_window(**TV_WINDOW[identity])
    assert_pointer_moves(bench, product, card)


def test_default_application_not_installed_is_reported_then_the_others_close(bench):
    apps = run_apps(bench, ["beyondtv", "quillmarsh"])
    product, card = start_remote(bench, DefaultTVAPP=8)  # WinDVR 6 is not installed
    owner = main_window(product)

    mark = product.trace.mark()
    press(card, POWER)
    warning = [("MessageBoxA", (0, REINITIALIZE, CAPTION, MB_SETFOREGROUND))]
    box = bench.probe.wait_for_window(cls="#32770", title=CAPTION)
    assert_effects(product, mark, warning, also=LOOKUPS)  # nothing more while it is open

    bench.probe.post(box["hwnd"], WM_COMMAND, IDOK, 0)
    assert apps["beyondtv"].wait_exit() == apps["quillmarsh"].wait_exit() == 0
    watch = product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == WATCH_TIMER,
                                        since=mark)
    assert_effects(product, mark, warning + close_beyond_tv(apps["beyondtv"])
                   + close_quillmarsh(apps["quillmarsh"])
                   + [("SetTimer", (owner, WATCH_TIMER, WATCH_INTERVAL_MS, ANY))], also=LOOKUPS)
    # Nothing to watch: the timer stops 2 s after its first tick, which
    # does not hold up the poll meanwhile.
    stop = watch_stopped(product, watch.seq)
    assert stop.t - watch.t >= 2.9
