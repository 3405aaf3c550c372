"""The tray icon and its menu: the icon's record as the shell gets it, the
same record submitted again on a pointer move and when the taskbar is
re-created; the menu of each default application, with its check mark while
the application runs, opened by either button; the ways out, each taking
the icon away (the quit command from outside: in the installer's tests);
and the missing-filter report of a start without card.
"""

from __future__ import annotations

import pytest

from remote_steps import install, press, selector
from shell_steps import (ANY, CAPTION, DIALOG_CLASS, IDM_EXIT, IDM_QUIT_FROM_OUTSIDE, IDOK,
                         LINK_TIMER, NOTIFY_RECORD_SIZE, POLL_TIMER, SHELL_TRACE, TRAY_ICON_ID,
                         TRAY_MESSAGE, WM_CLOSE, WM_COMMAND, WM_LBUTTONDOWN, WM_MOUSEMOVE,
                         WM_RBUTTONDOWN, Shell, app_entry, assert_sequence, menu, start_shell)
from winebench.cardemu import Device
from winebench.probe import MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, Probe
from winebench.scenario import DEFAULT_CARD_NAME
from winebench.surface import APPS, KEYS, LINK
from winebench.trace import NIM_ADD, NIM_DELETE, NIM_MODIFY
from winebench.wine import wait_for

NIF_MESSAGE_ICON_TIP = 7
MB_SETFOREGROUND = 0x10000
MISSING_FILTER = ("Can't find the Marlow WDM Video Capture Filter.\n\n"
                  "Please check your hardware or drivers. ")
TOGGLE = KEYS["6"]  # holds the left button down, and lets it go

TRACE_ALSO = SHELL_TRACE

# Wine's own tray, a window of explorer.exe shown when X has no tray.
WINE_TRAY, WINE_TRAY_ICON = "__winex11_standalone_tray", "__winex11_tray_icon"


def taskbar_created(shell: Shell) -> int:
    (call,) = [c for c in shell.trace.calls("RegisterWindowMessageA")
               if c.args[0] == "TaskbarCreated"]
    return call.ret


def icon_in_wine_tray(probe: Probe) -> tuple:
    """The middle of the icon's window in Wine's tray."""
    def icons():
        return [c for tray in probe.find(cls=WINE_TRAY)
                for c in probe.dialog(tray["hwnd"])["controls"] if c["class"] == WINE_TRAY_ICON]
    left, top, right, bottom = wait_for(icons, 10, message="icon in Wine's tray")[0]["rect"]
    return (left + right) // 2, (top + bottom) // 2


def test_icon_record_reaches_the_shell_and_is_submitted_again_unchanged(bench):
    shell = start_shell(bench)
    (add,) = shell.trace.calls("Shell_NotifyIconA")
    assert add.dword(0) == NIM_ADD
    record = shell.notify_record(add)
    assert (record.size, record.window, record.icon_id, record.flags, record.message,
            record.tip) == (NOTIFY_RECORD_SIZE, shell.window, TRAY_ICON_ID,
                            NIF_MESSAGE_ICON_TIP, TRAY_MESSAGE, CAPTION)
    assert record.icon != 0

    # A pointer move over the icon and a new taskbar submit the same record.
    mark = shell.trace.mark()
    shell.tray(WM_MOUSEMOVE)
    bench.probe.send(shell.window, taskbar_created(shell))
    assert_sequence(shell.trace.calls(since=mark), [
        ("Shell_NotifyIconA", (NIM_MODIFY, add.args[1])),
        ("Shell_NotifyIconA", (NIM_ADD, add.args[1]))])
    assert shell.notify_record(add) == record

    # Wine's tray shows the icon; clicking it there opens the menu.
    at = icon_in_wine_tray(bench.probe)
    mark = shell.trace.mark()
    bench.probe.set_cursor(*at)
    bench.probe.mouse(MOUSEEVENTF_LEFTDOWN)
    bench.probe.mouse(MOUSEEVENTF_LEFTUP)
    opened = shell.wait_menu(mark)
    shell.assert_menu(opened, menu())
    shell.close_menu()


def test_quit_while_the_menu_is_open(bench):
    """The icon, once removed, is not submitted again; and the quit, which the
    menu's own loop may swallow, still ends the program when the menu closes."""
    shell = start_shell(bench)
    shell.open_menu((100, 100))
    mark = shell.trace.mark()
    shell.command(IDM_QUIT_FROM_OUTSIDE)
    bench.probe.send(shell.window, taskbar_created(shell))
    shell.tray(WM_MOUSEMOVE)
    shell.close_menu()
    assert shell.product.wait_exit() == 0
    assert [c.dword(0) for c in shell.trace.calls("Shell_NotifyIconA", since=mark)] == [NIM_DELETE]


def test_menu_entry_of_the_default_application(bench):
    """Installed: the entry, checked only while the application runs; both
    buttons open the menu, and each click destroys the previous menu. Not
    installed: no entry, even while it runs. (Which text each default
    application has is the application records' own tests' business.)"""
    app = install(bench, "windvr")
    shell = start_shell(bench, DefaultTVAPP=selector("windvr"))
    opened = shell.open_menu((200, 150))
    first = shell.assert_menu(opened, menu(app_entry("windvr", running=False)))
    shell.close_menu()

    app.start()
    opened = shell.open_menu((310, 260), WM_RBUTTONDOWN)
    shell.assert_menu(opened, menu(app_entry("windvr", running=True)), destroyed=first)
    shell.close_menu()
    assert shell.product.stop() == 0

    bench.uninstall_app("windvr")
    shell = start_shell(bench)
    opened = shell.open_menu((50, 60))
    shell.assert_menu(opened, menu())
    shell.close_menu()


WAYS_OUT = {
    "exit": lambda shell: shell.post_command(IDM_EXIT),
    "command-31": lambda shell: shell.post_command(IDM_QUIT_FROM_OUTSIDE),
    "wm-close": lambda shell: shell.bench.probe.post(shell.window, WM_CLOSE),  # to WM_DESTROY
}


@pytest.mark.parametrize("way", WAYS_OUT)
def test_way_out_lets_go_of_the_button_removes_the_icon_and_ends_with_0(bench, way):
    shell = start_shell(bench)
    at = bench.probe.set_cursor(321, 123)
    press(bench.card(), TOGGLE)  # the remote holds the left button down
    mark = shell.trace.mark()
    WAYS_OUT[way](shell)
    assert shell.product.wait_exit() == 0
    expected = [("mouse_event", (MOUSEEVENTF_LEFTUP, *at, 0, ANY)),
                ("Shell_NotifyIconA", (NIM_DELETE, ANY)), ("PostQuitMessage", (0,))]
    expected += [("CoUninitialize", ())] if way == "exit" else []
    expected += [("KillTimer", (shell.window, POLL_TIMER))]   # at the process's exit
    assert_sequence(shell.trace.calls(since=mark), expected)
    # Only Exit balances COM; the other ways out leave it to the process's end.
    assert len(shell.trace.calls("CoUninitialize", since=mark)) == (way == "exit")


NO_RECEIVER = {
    "no capture device": [],
    "the first name in other case; the second without receiver interface": [
        Device("0001", DEFAULT_CARD_NAME.lower()),
        Device("0002", "Philips Cap713x Video Capture", no_kscontrol=True)],
}


@pytest.mark.parametrize("devices", NO_RECEIVER.values(), ids=["none", "unusable"])
def test_without_receiver_the_first_click_reports_the_missing_filter_and_ends(bench, devices):
    for identity in APPS:
        install(bench, identity)
    bench.register_cards(devices)
    shell = start_shell(bench, card=False)
    shell.click(WM_LBUTTONDOWN)
    box = bench.probe.wait_for_window(cls=DIALOG_CLASS, title=CAPTION)
    # A second click while the report is open shows nothing more (a box
    # would keep the click from returning).
    shell.tray(WM_RBUTTONDOWN)
    assert [w["hwnd"] for w in bench.probe.find(cls=DIALOG_CLASS)] == [box["hwnd"]]
    bench.probe.send(box["hwnd"], WM_COMMAND, IDOK)
    assert shell.product.wait_exit() == 0
    calls = shell.trace.calls()
    # The tip says the receiver is missing, and the card is looked for again
    # on the link's timer; the poll never starts.
    assert_sequence(calls, [("Shell_NotifyIconA", (NIM_ADD, ANY)),
                            ("Shell_NotifyIconA", (NIM_MODIFY, ANY)),
                            ("MessageBoxA", (0, MISSING_FILTER, CAPTION, MB_SETFOREGROUND)),
                            ("Shell_NotifyIconA", (NIM_DELETE, ANY)), ("PostQuitMessage", (0,))])
    timers = [c.args[1:3] for c in calls if c.func == "SetTimer"]
    assert timers == [[LINK_TIMER, LINK["late_card_retry_ms"]]]
    assert not [str(c) for c in calls if c.func == "CreatePopupMenu"]
    # A device without the receiver interface was found and loaded (again at
    # each look), never asked.
    for card, device in zip(bench.cards.values(), devices):
        log = card.log()
        assert [e.get("ev") for e in log[:2]] == (["load", "join"] if device.no_kscontrol else [])
        assert not [e for e in log if "req" in e]
