"""Keys held as long as a finger holds them (the card reads the key at every
poll while it is down), and users who close and start the TV applications
themselves.

Power, Standby, Off and Vol- act once per press, whatever the mode: a held
one does exactly what one read of it does, and the poll goes on. Only a
first press answers the shutdown dialog. A target that the user closed lets
go of the remote, and a closing application whose title looks like another
one's never stands in for it.
"""

from __future__ import annotations

import pytest

from remote_steps import (NO_ACTION_KEY, POWER, QUILLMARSH_MESSAGE, STANDBY, TV_WINDOW,
                          WM_KEYDOWN, assert_effects, chord, front, hold, install, press,
                          run_apps, start_remote)
from shell_steps import ENTRY_COMMAND, SNAPSTREAM, QUILLMARSH, start_shell
from winebench import fakeapp

STANDBY_KEY, OFF_KEY, VOL_DOWN_KEY = 13, 24, 29
DOWN = 8                   # the key "9": the pointer goes down
HELD_MS = 400              # 5 to 7 reads at 65 ms
LONG_HELD_MS = 900         # past the tenth repeat, which a target gets of other keys
SELECTOR = {"quillmarsh": 6, "beyondtv": 7, "windvr": 8}
DIALOG_TITLE = "Marlow Remote Control - Shut Down"
WM_SYSCOMMAND, SC_CLOSE = 0x0112, 0xF060
VK_SHIFT, VK_DOWN, VK_SUBTRACT, VK_MENU, VK_F4 = 0x10, 0x28, 0x6D, 0x12, 0x73
ACTS = ("PostMessageA", "keybd_event", "WinExec", "SetSystemPowerState", "DialogBoxParamA",
        "MessageBoxA", "mouse_event", "SetCursorPos")


def held(card, code: int, ms: int = HELD_MS) -> list:
    reads = hold(card, code, ms)
    assert len(reads) >= 2, "the key was read only %d times" % len(reads)
    return reads


def acts(product, since: int) -> list:
    return [c for c in product.trace.calls(ACTS, since=since)]


def assert_polls_on(bench, product, card) -> None:
    """The remote still works: a direction key moves the pointer."""
    x, y = bench.probe.set_cursor(500, 400)
    mark = product.trace.mark()
    press(card, DOWN)
    assert [c.args for c in product.trace.calls("SetCursorPos", since=mark)] == [[x, y + 1]]


@pytest.mark.parametrize("code, selector", [(STANDBY_KEY, 6), (OFF_KEY, 8)])
def test_standby_held_asks_once(bench, code, selector):
    product, card = start_remote(bench, DefaultTVAPP=selector)
    mark = product.trace.mark()
    held(card, code)
    assert_effects(product, mark, STANDBY)
    assert_polls_on(bench, product, card)


@pytest.mark.parametrize("code, selector", [(OFF_KEY, 7), (VOL_DOWN_KEY, 6)])
def test_the_shutdown_dialog_opens_once_and_only_a_new_press_answers_it(bench, code, selector):
    product, card = start_remote(bench, DefaultTVAPP=selector)
    mark = product.trace.mark()
    held(card, code)
    dialog = bench.probe.wait_for_window(cls="#32770", title=DIALOG_TITLE)
    assert [c.func for c in acts(product, mark)] == ["DialogBoxParamA"]
    assert product.trace.calls("SendMessageA", since=mark) == []  # its repeats did not answer it

    press(card, NO_ACTION_KEY)  # a new press cancels it
    bench.probe.wait_for_no_window(cls="#32770", title=DIALOG_TITLE)
    assert [c.args[2] for c in product.trace.calls("SendMessageA", since=mark)] == [27]
    assert len(product.trace.calls("DialogBoxParamA", since=mark)) == 1
    assert dialog["hwnd"]
    assert_polls_on(bench, product, card)


def test_power_held_with_no_target_starts_the_default_once(bench):
    app = install(bench, "quillmarsh")
    product, card = start_remote(bench, DefaultTVAPP=6)
    mark = product.trace.mark()
    assert len(held(card, POWER, LONG_HELD_MS)) >= 11
    app.wait_windows()
    assert len(product.trace.calls("WinExec", since=mark)) == 1
    assert product.trace.calls("MessageBoxA", since=mark) == []
    assert product.trace.calls("PostMessageA", since=mark) == []  # not closed again
    assert not app.exited()


# What one press of the key does to each target, and how Power closes it.
def one_press(app, code: int) -> list:
    if app.identity == "quillmarsh":
        panel = app.hwnd(**TV_WINDOW["quillmarsh"])
        command = {OFF_KEY: 5, VOL_DOWN_KEY: 5001, POWER: 1}[code]
        return [("PostMessageA", (panel, QUILLMARSH_MESSAGE, command, 0))]
    if app.identity == "beyondtv":
        video = app.hwnd(**TV_WINDOW["beyondtv"])
        if code == POWER:
            return chord(VK_MENU, VK_F4)
        return [("PostMessageA", (video, WM_KEYDOWN, VK_SUBTRACT, 0))]
    if code == POWER:
        return chord(VK_MENU, 0x11, VK_SHIFT, 0x77)  # Alt+Ctrl+Shift+F8
    return front(app.hwnd(**TV_WINDOW["windvr"])) + chord(VK_SHIFT, VK_DOWN)


@pytest.mark.parametrize("identity, code", [
    ("quillmarsh", OFF_KEY), ("quillmarsh", VOL_DOWN_KEY), ("beyondtv", VOL_DOWN_KEY),
    ("windvr", VOL_DOWN_KEY)])
def test_a_one_shot_key_held_on_a_target_acts_once(bench, identity, code):
    app = run_apps(bench, [identity])[identity]
    product, card = start_remote(bench, DefaultTVAPP=6)
    press(card, NO_ACTION_KEY)  # adopted
    mark = product.trace.mark()
    assert len(held(card, code, LONG_HELD_MS)) >= 11
    assert_effects(product, mark, one_press(app, code), also=("keybd_event",))
    assert not app.exited()


@pytest.mark.parametrize("identity", ["quillmarsh", "beyondtv", "windvr"])
def test_power_held_on_the_target_closes_it_once_and_starts_nothing(bench, identity):
    app = run_apps(bench, [identity], {identity: {"close_delay": 600}})[identity]
    # As the default, a repeat that reached the default Power action would
    # close it once more while it is still closing.
    product, card = start_remote(bench, DefaultTVAPP=SELECTOR[identity])
    press(card, NO_ACTION_KEY)
    expected = one_press(app, POWER)
    mark = product.trace.mark()
    held(card, POWER)
    assert app.wait_exit() == 0
    calls = [c for c in acts(product, mark)
             if c.func in ("PostMessageA", "keybd_event", "WinExec", "MessageBoxA")]
    assert [(c.func, tuple(c.args)) for c in calls] == [(f, tuple(a)) for f, a in expected]
    assert_polls_on(bench, product, card)


def test_a_target_closed_with_its_close_box_lets_go(bench):
    apps = run_apps(bench, ["beyondtv"])
    product, card = start_remote(bench, DefaultTVAPP=6)
    press(card, NO_ACTION_KEY)  # Beyond TV is the target
    video = bench.probe.find(**TV_WINDOW["beyondtv"])[0]["hwnd"]
    bench.probe.post(video, WM_SYSCOMMAND, SC_CLOSE, 0)
    assert apps["beyondtv"].wait_exit() == 0
    bench.probe.wait_for_no_window(**TV_WINDOW["beyondtv"])
    assert_polls_on(bench, product, card)

    # Started again by hand, it is adopted again by the next key.
    install(bench, "beyondtv").start()
    mark = product.trace.mark()
    press(card, NO_ACTION_KEY)
    press(card, 16)  # Up
    posts = product.trace.calls("PostMessageA", since=mark)
    assert [p.args[1:] for p in posts] == [[WM_KEYDOWN, 0x26, 0]]


# Beyond TV and Quillmarsh both title their main window "FormMainWindow";
# the one that is closing takes a while (close_delay) and must not be raised
# in place of the one chosen.
@pytest.mark.parametrize("running, chosen", [("quillmarsh", "beyondtv"), ("beyondtv", "quillmarsh")])
def test_switching_between_the_look_alikes_starts_the_chosen_one(bench, running, chosen):
    other = install(bench, running, {"close_delay": 1500}).start()
    wanted = install(bench, chosen)
    selector = SNAPSTREAM if chosen == "beyondtv" else QUILLMARSH
    shell = start_shell(bench, DefaultTVAPP=6 if selector == SNAPSTREAM else 7)
    mark = shell.trace.mark()
    shell.command(ENTRY_COMMAND[selector])
    ident = fakeapp.identity(chosen)
    launch = shell.trace.wait_for_call("WinExec", since=mark)
    assert launch.args[0] == '"%s\\%s"' % (ident.default_dir, ident.exe_name)
    wanted.wait_windows()
    assert other.wait_exit() == 0
    closing_main = other.hwnd(title="FormMainWindow")
    raised = [c.args[0] for c in shell.trace.calls("SetForegroundWindow", since=mark)]
    assert closing_main not in raised


def test_power_with_beyond_tv_the_default_while_quillmarsh_closes(bench):
    quillmarsh = install(bench, "quillmarsh", {"close_delay": 1500}).start()
    beyond_tv = install(bench, "beyondtv")
    product, card = start_remote(bench, DefaultTVAPP=7)
    mark = product.trace.mark()
    press(card, POWER)  # Quillmarsh runs, but is not the target
    launch = product.trace.wait_for_call("WinExec", since=mark)
    assert "BTVD3DShell.exe" in launch.args[0]
    beyond_tv.wait_windows()
    assert quillmarsh.wait_exit() == 0
    closing_main = quillmarsh.hwnd(cls="Quillmarsh")
    assert closing_main not in [c.args[0] for c in product.trace.calls("SetForegroundWindow",
                                                                       since=mark)]
