"""Switching from the tray menu (here to Beyond TV): the two
other TV applications are closed, each its own way, and the chosen one is
started through its quoted path, or brought to the front when it runs
already (which switch closes which is the switching's own tests' business). The
choice becomes the menu's application in memory only; the registry keeps
the stored default.
"""

from __future__ import annotations

from remote_steps import (ANY, App, assert_effects, closing, front, install, launch_line, search,
                          selector)
from shell_steps import SHELL_TRACE, app_entry, menu, start_shell
from winebench.surface import APPS
from winebench.wine import RegValue

TRACE_ALSO = SHELL_TRACE

SW_SHOW = 5
LOOKUPS = ("FindWindowA", "FindWindowExA")
CHOSEN, STORED = "beyondtv", "windvr"  # Beyond TV's switch closes both others

# The windows an application shows while it runs beside the chosen one: only
# the window its close action looks for (besides WinDVR 6's panel), so that no
# title begins with "FormMainWindow", the title by which Beyond TV is first
# looked for when chosen.
OTHER_WINDOWS = {"quillmarsh": {"window": [(APPS["quillmarsh"]["windows"]["close_test"]["class"],
                                            APPS["quillmarsh"]["name"])]}}


def close_seen(app: App) -> bool:
    """The application's log shows the close it got."""
    close = APPS[app.identity]["close"]
    if close["kind"] == "command":
        return app.commands() == [(app.window("close_test"), close["command"], 0)]
    # The presses of its chord, in order (it ends on the last one, before the releases).
    wanted = close["keys"]
    presses = [vk for vk, down in app.strokes() if down]
    return any(presses[i:i + len(wanted)] == wanted for i in range(len(presses)))


def test_switch_closes_the_others_and_starts_or_raises_the_chosen(bench):
    others = [install(bench, i, OTHER_WINDOWS.get(i)).start()
              for i in APPS[CHOSEN]["switch_closes"]]
    chosen = install(bench, CHOSEN)
    shell = start_shell(bench, DefaultTVAPP=selector(STORED))

    mark = shell.trace.mark()
    shell.command(APPS[CHOSEN]["command"])
    launch = shell.trace.wait_for_call("WinExec", since=mark)
    assert launch.args == [launch_line(CHOSEN), SW_SHOW]
    # The first lookup of the chosen one is a window of its own class (whose
    # title it then reads), so that a look-alike title of the other never
    # stands in for it; then its main window, before the start and after it.
    lookup = search(CHOSEN, "main")
    assert_effects(shell.product, mark,
                   closing(*others) + search(CHOSEN, "raise") + lookup + [("WinExec", ANY)]
                   + lookup,
                   also=LOOKUPS, until=launch.seq + 1 + len(lookup))
    for app in others:
        assert app.wait_exit() == 0
        assert close_seen(app), app.identity
    chosen.wait_windows()
    # The lookup right after the start may come before the new window: then
    # nothing is brought to the front.
    brought = shell.trace.calls("SetForegroundWindow", since=launch.seq + 1)
    raised = chosen.window("raise")
    assert_effects(shell.product, launch.seq + 1, front(raised) if brought else [])

    # Chosen again while it runs: only brought to the front (the others are gone).
    mark = shell.trace.mark()
    shell.command(APPS[CHOSEN]["command"])
    assert_effects(shell.product, mark, front(raised))
    assert not chosen.exited()

    # The menu shows the choice, the registry keeps the stored default.
    at = (120, 90)
    opened = shell.open_menu(at)
    shell.assert_menu(opened, menu(app_entry(CHOSEN, running=True)))
    shell.close_menu()
    assert bench.setting("DefaultTVAPP") == RegValue("REG_DWORD", selector(STORED))
