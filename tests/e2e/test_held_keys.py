"""Keys held as long as a finger holds them (the card reads the key at every
poll while it is down), and users who close and start the TV applications
themselves.

Power and Vol- (like Standby and Off) act once per press, with or without a
target: a held one does exactly what one read of it does, and the poll goes
on (a Standby held across its own sleep: test_receiver_link.py). Only a first press answers the shutdown dialog. A target that the user closed lets
go of the remote, and a closing application whose title looks like another
one's never stands in for it.
"""

from __future__ import annotations

import time

import psutil
import pytest

from remote_steps import (HOLD_AT_MOST_MS, NO_ACTION_KEY, POWER, WM_KEYDOWN, assert_effects,
                          assert_polls_on, command, hold, install, launch_line, opened_bench, press,
                          run_apps, selector, start_remote, where)
from shell_steps import start_shell
from winebench import cardemu, fakeapp
from winebench.surface import APPS, KEYS

VOL_DOWN_KEY = KEYS["Vol-"]
HELD_MS = 400              # 5 to 7 reads at 65 ms
PAST_TENTH_REPEAT = 12    # reads of a key held past the tenth repeat, which a target gets
DIALOG_TITLE = "Marlow Remote Control - Shut Down"
WM_SYSCOMMAND, SC_CLOSE = 0x0112, 0xF060
ACTS = ("PostMessageA", "keybd_event", "WinExec", "SetSystemPowerState", "DialogBoxParamA",
        "MessageBoxA", "mouse_event", "SetCursorPos")


def held(card, code: int, ms: int = HELD_MS) -> list:
    reads = hold(card, code, ms)
    assert len(reads) >= 2, "the key was read only %d times" % len(reads)
    return reads


def acts(product, since: int) -> list:
    return [c for c in product.trace.calls(ACTS, since=since)]


@pytest.fixture(scope="class")
def desk(wine, tmp_path_factory):
    """Quillmarsh the default, installed (taking a while to close), not
    running; the product polling."""
    with opened_bench(wine, tmp_path_factory.mktemp("held")) as bench:
        app = install(bench, "quillmarsh", {"close_delay": 600})
        product, card = start_remote(bench, DefaultTVAPP=selector("quillmarsh"))
        yield bench, product, card, app


class TestWithQuillmarshTheDefault:
    def test_the_shutdown_dialog_opens_once_and_only_a_new_press_answers_it(self, desk):
        bench, product, card, _ = desk
        mark = product.trace.mark()
        held(card, VOL_DOWN_KEY)
        bench.probe.wait_for_window(cls="#32770", title=DIALOG_TITLE)
        assert [c.func for c in acts(product, mark)] == ["DialogBoxParamA"]
        assert product.trace.calls("SendMessageA", since=mark) == []  # its repeats did not answer

        press(card, NO_ACTION_KEY)  # a new press cancels it
        bench.probe.wait_for_no_window(cls="#32770", title=DIALOG_TITLE)
        assert [c.args[2] for c in product.trace.calls("SendMessageA", since=mark)] == [27]
        assert len(product.trace.calls("DialogBoxParamA", since=mark)) == 1
        assert_polls_on(bench, product, card)

    def test_power_held_starts_the_default_once_and_held_on_it_closes_it_once(self, desk):
        bench, product, card, app = desk
        mark = product.trace.mark()
        hold(card, POWER, 0, reads=PAST_TENTH_REPEAT)
        app.wait_windows()
        assert len(product.trace.calls("WinExec", since=mark)) == 1
        assert product.trace.calls("MessageBoxA", since=mark) == []
        assert product.trace.calls("PostMessageA", since=mark) == []  # not closed again
        assert not app.exited()

        # A one-shot key held on the target it started: one command.
        mark = product.trace.mark()
        hold(card, VOL_DOWN_KEY, 0, reads=PAST_TENTH_REPEAT)
        assert_effects(product, mark, one_press(app, VOL_DOWN_KEY), also=("keybd_event",))

        # Power held on it: closed once (a repeat that reached the default
        # Power action would close it again while it closes), nothing started.
        mark = product.trace.mark()
        held(card, POWER)
        assert app.wait_exit() == 0
        calls = [c for c in acts(product, mark)
                 if c.func in ("PostMessageA", "keybd_event", "WinExec", "MessageBoxA")]
        assert [(c.func, tuple(c.args)) for c in calls] == [
            (f, tuple(a)) for f, a in one_press(app, POWER)]
        assert_polls_on(bench, product, card)


# What one press of the key does to Quillmarsh as the target: Vol- its command, Power its close.
def one_press(app, code: int) -> list:
    return [command(app, {VOL_DOWN_KEY: 5001, POWER: APPS["quillmarsh"]["close"]["command"]}[code])]


def test_power_held_across_a_slow_start_is_one_press(bench):
    """The default takes 1.5 s to be ready for input, and the program waits
    for it (WinExec) without polling; the reads of the held Power after that
    wait are repeats, not a new press that would close what the first started."""
    app = install(bench, "quillmarsh", {"busy_start": 1500})
    product, card = start_remote(bench, DefaultTVAPP=selector("quillmarsh"))
    mark = product.trace.mark()
    reads = hold(card, POWER, 0, reads=4)  # the first, then three after the start
    app.wait_windows()
    ready_us = fakeapp.events(app.log(), "window")[-1]["t_us"]  # just before WinExec returned
    assert len([r for r in reads if r["t_us"] > ready_us]) >= 3
    assert_started_once(product, mark, app)


def test_power_held_while_a_busy_machine_holds_the_program_up_is_one_press(bench):
    """The program gets no tick for 0.4 s (the machine is busy; here it is
    stopped) while Power is held: the remote sent it all along, and the read
    after that stretch is a repeat."""
    app = install(bench, "quillmarsh")
    product, card = start_remote(bench, DefaultTVAPP=selector("quillmarsh"))
    mark = product.trace.mark()
    card.feed.hold(POWER, HOLD_AT_MOST_MS)

    def read_twice_since(entries_before: int) -> None:
        cardemu.wait_for_log(card.log_path, lambda entries: len(
            [e for e in entries[entries_before:] if cardemu.is_read(e)]) >= 2)

    app.wait_windows()  # started by the first read
    read_twice_since(len(card.log()))  # the poll goes on, the key held
    process = psutil.Process(product.proc.pid)
    process.suspend()
    time.sleep(0.4)  # the busy stretch itself: what the test does, not a wait for something
    process.resume()
    read_twice_since(len(card.log()))
    card.feed.hold(POWER, 0)
    assert_started_once(product, mark, app)


def assert_started_once(product, mark, app) -> None:
    app.wait_windows()
    assert len(product.trace.calls("WinExec", since=mark)) == 1
    assert product.trace.calls("PostMessageA", since=mark) == []  # not closed again
    assert not app.exited()


def test_a_target_closed_with_its_close_box_lets_go(bench):
    apps = run_apps(bench, ["beyondtv"])
    product, card = start_remote(bench, DefaultTVAPP=selector("quillmarsh"))
    press(card, NO_ACTION_KEY)  # Beyond TV is the target
    video = bench.probe.find(**where("beyondtv"))[0]["hwnd"]
    bench.probe.post(video, WM_SYSCOMMAND, SC_CLOSE, 0)
    assert apps["beyondtv"].wait_exit() == 0
    bench.probe.wait_for_no_window(**where("beyondtv"))
    assert_polls_on(bench, product, card)

    # Started again by hand, it is adopted again by the next key.
    install(bench, "beyondtv").start()
    mark = product.trace.mark()
    press(card, NO_ACTION_KEY)
    press(card, KEYS["Up"])
    posts = product.trace.calls("PostMessageA", since=mark)
    assert [p.args[1:] for p in posts] == [[WM_KEYDOWN, 0x26, 0]]


# Beyond TV and Quillmarsh both title their main window "FormMainWindow";
# the one that is closing takes a while (close_delay) and must not be raised
# in place of the one chosen.
@pytest.mark.parametrize("running, chosen", [("quillmarsh", "beyondtv"),
                                             ("beyondtv", "quillmarsh")])
def test_switching_between_the_look_alikes_starts_the_chosen_one(bench, running, chosen):
    other = install(bench, running, {"close_delay": 1500}).start()
    wanted = install(bench, chosen)
    shell = start_shell(bench, DefaultTVAPP=selector(running))
    mark = shell.trace.mark()
    shell.command(APPS[chosen]["command"])
    launch = shell.trace.wait_for_call("WinExec", since=mark)
    assert launch.args[0] == launch_line(chosen)
    wanted.wait_windows()
    assert other.wait_exit() == 0
    closing_main = other.window("raise")
    raised = [c.args[0] for c in shell.trace.calls("SetForegroundWindow", since=mark)]
    assert closing_main not in raised
