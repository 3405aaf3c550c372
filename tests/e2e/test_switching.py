"""Switching from the tray menu (here to SnapStream, command 1107): the two
other TV applications are closed, each its own way, and the chosen one is
started through its quoted path, or brought to the front when it runs
already (which switch closes which is the switching's own tests' business). The
choice becomes the menu's application in memory only; the registry keeps
the stored default.
"""

from __future__ import annotations

from remote_steps import App, QUILLMARSH_MESSAGE, assert_effects, chord, front, install
from shell_steps import (ANY, ENTRY_COMMAND, IDENTITY, SHELL_TRACE, SNAPSTREAM, WINDVR,
                         app_entry, menu, start_shell)
from winebench import fakeapp
from winebench.wine import RegValue

TRACE_ALSO = SHELL_TRACE

VK_SHIFT, VK_CONTROL, VK_MENU, VK_F8 = 0x10, 0x11, 0x12, 0x77
SW_SHOW = 5
QUILLMARSH_CLOSE = 1
WINDVR_CHORD = (VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8)
LOOKUPS = ("FindWindowA", "FindWindowExA")

# The windows an application shows while it runs beside the chosen one: only
# the window its close action looks for (besides WinDVR 6's panel), so that no
# title begins with "FormMainWindow", the title by which Beyond TV is first
# looked for when chosen.
OTHER_WINDOWS = {"windvr": None, "quillmarsh": {"window": ["VarnelMainPanel_Class|Quillmarsh"]}}
# The closes of the switch, in order, Beyond TV's main window class and the
# window that is brought to the front.
SWITCH = (("quillmarsh", "windvr"), "SnapStream", ("SnapStream", "FormMainWindow"))


def closing(app: App) -> list:
    """What the product does to close a running application."""
    if app.identity == "windvr":
        return chord(*WINDVR_CHORD)       # to the focus, found by an untraced walk
    panel = app.hwnd(cls="VarnelMainPanel_Class")
    return [("FindWindowExA", (ANY, 0, "VarnelMainPanel_Class", 0)),
            ("PostMessageA", (panel, QUILLMARSH_MESSAGE, QUILLMARSH_CLOSE, 0))]


def close_seen(app: App) -> bool:
    """The application's log shows the close it got."""
    if app.identity == "quillmarsh":
        return app.received("MSG%d" % QUILLMARSH_MESSAGE) == [
            (app.hwnd(cls="VarnelMainPanel_Class"), QUILLMARSH_CLOSE, 0)]
    # The presses of its chord, in order (it ends on the last one, before the releases).
    wanted = list(WINDVR_CHORD)
    presses = [vk for vk, down in app.strokes() if down]
    return any(presses[i:i + len(wanted)] == wanted for i in range(len(presses)))


def test_switch_closes_the_others_and_starts_or_raises_the_chosen(bench):
    selector = SNAPSTREAM  # closes both others: Quillmarsh and WinDVR 6
    other_ids, main_class, raised = SWITCH
    others = [install(bench, i, OTHER_WINDOWS[i]).start() for i in other_ids]
    chosen = install(bench, IDENTITY[selector])
    stored = WINDVR
    shell = start_shell(bench, DefaultTVAPP=stored)
    ident = fakeapp.identity(IDENTITY[selector])

    mark = shell.trace.mark()
    shell.command(ENTRY_COMMAND[selector])
    launch = shell.trace.wait_for_call("WinExec", since=mark)
    assert launch.args == ['"%s\\%s"' % (ident.default_dir, ident.exe_name), SW_SHOW]
    closes = [step for app in others for step in closing(app)]
    # The first lookup of the chosen one is a window of its own class (whose
    # title it then reads), so that a look-alike title of the other never
    # stands in for it; then its main window, before the start and after it.
    lookup = [("FindWindowA", (main_class, 0))]
    assert_effects(shell.product, mark,
                   closes + [("FindWindowExA", (ANY, 0, main_class, 0))] + lookup
                   + [("WinExec", ANY)] + lookup,
                   also=LOOKUPS, until=launch.seq + 1 + len(lookup))
    for app in others:
        assert app.wait_exit() == 0
        assert close_seen(app), app.identity
    chosen.wait_windows()
    # The lookup right after the start may come before the new window: then
    # nothing is brought to the front.
    brought = shell.trace.calls("SetForegroundWindow", since=launch.seq + 1)
    assert_effects(shell.product, launch.seq + 1, front(chosen.hwnd(*raised)) if brought else [])

    # Chosen again while it runs: only brought to the front (the others are gone).
    mark = shell.trace.mark()
    shell.command(ENTRY_COMMAND[selector])
    assert_effects(shell.product, mark, front(chosen.hwnd(*raised)))
    assert not chosen.exited()

    # The menu shows the choice, the registry keeps the stored default.
    at = (120, 90)
    opened = shell.open_menu(at)
    shell.assert_menu(opened, menu(app_entry(selector, running=True)))
    shell.close_menu()
    assert bench.setting("DefaultTVAPP") == RegValue("REG_DWORD", stored)
