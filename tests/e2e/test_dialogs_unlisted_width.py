"""On a screen whose width has no placement (1100 pixels), the About and
Settings dialogs stay where their templates put them and are not topmost."""

from __future__ import annotations

import pytest

from shell_steps import (ABOUT_CAPTION, IDCANCEL, IDM_ABOUT, IDM_SETTINGS, IDOK,
                         SETTINGS_CAPTION, start_shell)

WIDTH = 1100
pytestmark = pytest.mark.screen(WIDTH, 800)


def test_dialogs_keep_their_template_position(bench):
    assert bench.probe.metrics()["SM_CXFULLSCREEN"] == WIDTH
    shell = start_shell(bench)
    for command, caption in ((IDM_ABOUT, ABOUT_CAPTION), (IDM_SETTINGS, SETTINGS_CAPTION)):
        places = []
        for button in (IDOK, IDCANCEL):   # the same place at every opening
            dialog = shell.open_dialog(command, caption)
            assert not dialog["topmost"]
            places.append(dialog["rect"])
            shell.end_dialog(dialog, button)
        assert places[0] == places[1]
    assert shell.trace.calls("SetWindowPos") == []
