"""The About and Settings dialogs on a 1024 pixel wide screen: both placed
at (350, 300) and topmost; the Settings list offers the installed
applications, selects the default one or else the position it had last,
and OK stores the choice only when it changed; Esc changes nothing.
"""

from __future__ import annotations

import pytest

from remote_steps import install, selector
from shell_steps import (ABOUT_CAPTION, ANY, CB_SETCURSEL, IDCANCEL, IDM_ABOUT, IDM_SETTINGS, IDOK,
                         SETTINGS_CAPTION, SHELL_TRACE, Shell, assert_sequence, hwnd, menu,
                         start_shell)
from winebench.scenario import Bench
from winebench.surface import APPS
from winebench.trace import DEFAULT_FUNCTIONS, pointer
from winebench.wine import RegValue

pytestmark = pytest.mark.screen(1024, 768)

ABOUT_TEMPLATE, SETTINGS_TEMPLATE = 21, 20
APPLICATION_LIST = 11
HWND_TOPMOST, SWP_NOSIZE = pointer(-1), 0x0001
PLACE = (350, 300)
REG_DWORD = 4
INSTALLED = ("beyondtv", "windvr")  # in the list's order; not the first start's default


@pytest.fixture(scope="module")
def shell(wine, tmp_path_factory):
    """Beyond TV and WinDVR 6 installed, Quillmarsh not; first start, so the
    selector is Quillmarsh's, an application that is not in the list."""
    bench = Bench(wine, tmp_path_factory.mktemp("dialogs"),
                  functions=DEFAULT_FUNCTIONS + SHELL_TRACE)
    try:
        for app in INSTALLED:
            install(bench, app)
        yield start_shell(bench)
    finally:
        bench.close()


def given_context(value) -> bool:
    """The dialog is given its context: a pointer, never 0."""
    return value != 0


def open_placed(shell: Shell, command: int, template: int, caption: str, context=0) -> dict:
    """Opens a dialog and checks that it was placed at PLACE and is topmost;
    context is what the dialog is made with (0: nothing)."""
    mark = shell.trace.mark()
    dialog = shell.open_dialog(command, caption)
    assert_sequence(shell.trace.calls(since=mark), [
        ("DialogBoxParamA", (ANY, template, shell.window, ANY, context)),
        ("SetWindowPos", (hwnd(dialog), HWND_TOPMOST, *PLACE, 0, 0, SWP_NOSIZE))])
    assert (dialog["rect"][:2], dialog["topmost"]) == (list(PLACE), True)
    return dialog


def test_about(shell):
    about = open_placed(shell, IDM_ABOUT, ABOUT_TEMPLATE, ABOUT_CAPTION)
    texts = [c["text"] for c in shell.bench.probe.dialog(about["hwnd"])["controls"]]
    assert "Remote Control Utility V3.1.0.0" in texts and "OK" in texts
    assert shell.end_dialog(about, IDOK).args == [hwnd(about), IDOK]


class Settings:
    def __init__(self, shell: Shell):
        self.shell = shell
        self.dialog = open_placed(shell, IDM_SETTINGS, SETTINGS_TEMPLATE, SETTINGS_CAPTION,
                                  context=given_context)
        self.mark = shell.trace.mark()

    def list(self) -> tuple:
        """The list's entries and its selected position."""
        combo = self.shell.control(self.dialog, APPLICATION_LIST)
        return combo["items"], combo["cursel"]

    def select(self, position: int) -> None:
        combo = self.shell.control(self.dialog, APPLICATION_LIST)
        self.shell.bench.probe.send(combo["hwnd"], CB_SETCURSEL, position)

    def close(self, button: int) -> list:
        """OK or Esc; returns the values written meanwhile (name, type, size)."""
        assert self.shell.end_dialog(self.dialog, button).args == [hwnd(self.dialog), button]
        return [(c.args[1], c.dword(3), c.dword(5))
                for c in self.shell.trace.calls("RegSetValueExA", since=self.mark)]


def stored(shell: Shell):
    return shell.bench.setting("DefaultTVAPP")


def test_settings_list_selection_and_what_ok_stores(shell):
    written = ("DefaultTVAPP", REG_DWORD, 4)
    entries = [APPS[app]["menu"] for app in INSTALLED]
    first, second = (RegValue("REG_DWORD", selector(app)) for app in INSTALLED)

    # The first start's selector is not in the list: position 0 is selected; OK stores it.
    settings = Settings(shell)
    assert settings.list() == (entries, 0)
    assert settings.close(IDOK) == [written]
    assert stored(shell) == first

    # The entry already in force: OK writes nothing.
    settings = Settings(shell)
    assert settings.list() == (entries, 0)
    assert settings.close(IDOK) == []

    # Another entry, then Esc: nothing changes.
    settings = Settings(shell)
    settings.select(1)
    assert settings.close(IDCANCEL) == []
    assert stored(shell) == first

    settings = Settings(shell)
    assert settings.list() == (entries, 0)
    settings.select(1)
    assert settings.close(IDOK) == [written]
    assert stored(shell) == second

    # The menu's Quillmarsh command sets its selector in memory only; the list
    # then shows the position it had last, and OK stores that entry again.
    shell.command(APPS["quillmarsh"]["command"])
    assert stored(shell) == second
    opened = shell.open_menu((500, 400))
    shell.assert_menu(opened, menu())  # Quillmarsh has no entry: not installed
    shell.close_menu()
    settings = Settings(shell)
    assert settings.list() == (entries, 1)
    assert settings.close(IDOK) == [written]
    assert stored(shell) == second
