"""The About and Settings dialogs on a 1024 pixel wide screen: both placed
at (350, 300) and topmost; the Settings list offers the installed
applications and OK stores the choice.
"""

from __future__ import annotations

import pytest

from remote_steps import install, selector
from shell_steps import (ABOUT_CAPTION, ANY, IDM_ABOUT, IDM_SETTINGS, IDOK, SETTINGS_CAPTION,
                         SHELL_TRACE, Shell, assert_sequence, hwnd, start_shell)
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


def test_settings_list_selection_and_what_ok_stores(shell):
    """The first start's selector is not in the list: position 0 is selected
    and OK stores it. (Esc, an unchanged choice, a remembered position: the
    dialog's own tests.)"""
    dialog = open_placed(shell, IDM_SETTINGS, SETTINGS_TEMPLATE, SETTINGS_CAPTION,
                         context=given_context)
    mark = shell.trace.mark()
    combo = shell.control(dialog, APPLICATION_LIST)
    assert (combo["items"], combo["cursel"]) == ([APPS[app]["menu"] for app in INSTALLED], 0)
    assert shell.end_dialog(dialog, IDOK).args == [hwnd(dialog), IDOK]
    assert [(c.args[1], c.dword(3), c.dword(5)) for c in shell.trace.calls(
        "RegSetValueExA", since=mark)] == [("DefaultTVAPP", REG_DWORD, 4)]
    assert shell.bench.setting("DefaultTVAPP") == RegValue("REG_DWORD", selector(INSTALLED[0]))
