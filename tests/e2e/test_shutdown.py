"""The keys that act on the machine while no TV application runs, through
the card: Off with Beyond TV as the default opens the shutdown dialog, which
the remote answers (any other key cancels it, Power shuts the machine down);
Standby puts it into standby; with a TV window present these keys do
nothing. Which key does what for which default is the router's own tests'
business.

The last case shuts the machine down, which ends every process of the
prefix: it must stay last in this module.
"""

from __future__ import annotations

from remote_steps import (ANY, ENABLE_SHUTDOWN_PRIVILEGE, NO_ACTION_KEY, POWER, assert_effects,
                          front, main_window, press, run_apps, selector, start_remote)
from winebench.fakeapp import hwnd_value
from winebench.surface import KEYS

OWN_PREFIX = True  # the shutdown ends Wine's services and desktop too
STANDBY_KEY, SHUTDOWN_OR_STANDBY_KEY, SHUTDOWN_KEY = KEYS["Standby"], KEYS["Off"], KEYS["Vol-"]
WM_KEYDOWN, VK_RETURN, VK_ESCAPE = 0x0100, 13, 27
SHUTDOWN_DIALOG = 107
DIALOG_TITLE = "Marlow Remote Control - Shut Down"
DIALOG_PLACE_1024 = (350, 300)
EWX_POWEROFF_FORCE = 12
POINTER_DOWN = KEYS["9"]


def answer(dialog: int, vk: int) -> list:
    """The remote's answer to the open dialog, and the dialog ending with it."""
    return front(dialog) + [("SendMessageA", (dialog, WM_KEYDOWN, vk, 0)),
                            ("EndDialog", (dialog, vk))]


def open_dialog(bench, code: int, default: str):
    """Starts the product with that default application and opens the dialog
    with `code`; returns the product, card and the dialog's window."""
    product, card = start_remote(bench, DefaultTVAPP=selector(default))
    return product, card, reopen(bench, product, code)


def reopen(bench, product, code: int) -> int:
    """Opens the dialog with `code`, which the card then holds waiting."""
    card = bench.card()
    mark = product.trace.mark()
    card.feed.tap(code)
    window = bench.probe.wait_for_window(cls="#32770", title=DIALOG_TITLE)
    dialog = hwnd_value(window["hwnd"])
    assert_effects(product, mark, [
        # Made with its context, a pointer.
        ("DialogBoxParamA", (ANY, SHUTDOWN_DIALOG, main_window(product), ANY, lambda p: p != 0))]
        + front(dialog))
    assert (tuple(window["rect"][:2]), window["topmost"]) == (DIALOG_PLACE_1024, True)
    return dialog


def test_power_keys_do_nothing_while_a_tv_window_exists(bench):
    app = run_apps(bench, ["windvr"])["windvr"]
    product, card = start_remote(bench, DefaultTVAPP=selector("quillmarsh"))  # all three keys act
    mark = product.trace.mark()
    press(card, STANDBY_KEY, SHUTDOWN_OR_STANDBY_KEY, SHUTDOWN_KEY)
    assert_effects(product, mark, [])
    assert not app.exited()


def test_the_remote_cancels_the_shutdown_dialog_or_confirms_it_and_the_machine_powers_off(bench):
    product, card, dialog = open_dialog(bench, SHUTDOWN_OR_STANDBY_KEY, "beyondtv")
    mark = product.trace.mark()
    press(card, NO_ACTION_KEY)
    bench.probe.wait_for_no_window(cls="#32770", title=DIALOG_TITLE)
    assert_effects(product, mark, answer(dialog, VK_ESCAPE))

    # Closed: keys are routed again (the pointer moves), and the code that
    # opened it did nothing more.
    x, y = bench.probe.set_cursor(500, 400)
    mark = product.trace.mark()
    press(card, POINTER_DOWN)
    assert_effects(product, mark, [("SetCursorPos", (x, y + 1))])

    dialog = reopen(bench, product, SHUTDOWN_OR_STANDBY_KEY)
    mark = product.trace.mark()
    card.feed.tap(POWER)
    product.trace.wait_for_call("ExitWindowsEx", since=mark)
    assert product.wait_exit() is not None  # ExitWindowsEx ends every process of the prefix
    assert_effects(product, mark, answer(dialog, VK_RETURN) + ENABLE_SHUTDOWN_PRIVILEGE
                   + [("ExitWindowsEx", (EWX_POWEROFF_FORCE, 0))])
