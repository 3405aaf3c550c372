"""probe.exe under Wine: reading another process's dialog and menus, errors."""

from __future__ import annotations

import subprocess

import pytest

from winebench.probe import ProbeError
from winebench.wine import WINE

IDC_CHANNEL_COMBO, IDC_SOURCE_LIST, IDC_REMOTE_CHECK, IDC_NAME_EDIT = 1001, 1002, 1003, 1004


@pytest.fixture
def target(bin_dir, launcher, probe):
    def start(*args):
        launcher.start(bin_dir / "ProbeTarget.exe", *args)
        return probe.wait_for_window("#32770", "Probe Target")
    return start


def test_dialog_controls_of_another_process(target, probe):
    dialog = probe.dialog(target()["hwnd"])
    assert (dialog["title"], dialog["topmost"]) == ("Probe Target", False)
    controls = {c["id"]: c for c in dialog["controls"]}
    combo = controls[IDC_CHANNEL_COMBO]
    assert (combo["class"], combo["items"], combo["cursel"]) == (
        "ComboBox", ["WinDVR 6", "Beyond TV", "Quillmarsh", "Caf\u00e9 \u00fcber"], 2)
    listbox = controls[IDC_SOURCE_LIST]
    assert (listbox["items"], listbox["cursel"]) == (["Tuner", "Composite", "S-Video"], 1)
    assert (controls[IDC_REMOTE_CHECK]["text"], controls[IDC_REMOTE_CHECK]["checked"]) == \
        ("Remote enabled", 1)
    assert controls[IDC_NAME_EDIT]["text"] == "Living room"
    left, top, right, bottom = combo["rect"]
    assert dialog["rect"][0] <= left < right <= dialog["rect"][2]


def test_popup_menu_of_another_process(target, probe):
    owner = target("--menu")["hwnd"]
    menus = probe.wait_for_popup()
    assert len(menus) == 1
    menu = menus[0]
    assert (menu["class"], menu["owner"], menu["visible"]) == ("#32768", owner, True)
    assert menu["rect"][:2] == [300, 300]
    # Wine keeps menu handles per process: the items cannot be read from here.
    assert menu["items"] is None and menu["items_error"]


def test_errors_do_not_end_the_probe(probe, wine_env, bin_dir, screen_size):
    for line, fragment in [("dialog 0x1", "invalid window handle"),
                           ("post zz 1 2 3", "not a number"),
                           ("send 0x10 1x 0 0", "invalid window handle"),
                           ("cursor 1", "cursor"), ("keys 0x12,300", "not a virtual key"),
                           ("send 0x1", "usage: send"), ("frobnicate", "unknown command")]:
        assert fragment in probe.command(line)["error"], line
    with pytest.raises(ProbeError):
        probe.post(0x1, 0x10)
    assert (probe.metrics()["SM_CXSCREEN"], probe.metrics()["SM_CYSCREEN"]) == screen_size

    one_shot = subprocess.run([WINE, str(bin_dir / "probe.exe"), "dialog", "0x1"], env=wine_env,
                              capture_output=True, timeout=60)
    assert one_shot.returncode == 1 and b'"error"' in one_shot.stdout


def test_numbers_and_cursor(probe):
    assert probe.set_cursor(123, 45) == (123, 45)
    assert probe.cursor() == (123, 45)
    assert probe.call("cursor", "0x10", "-0") == {"x": 16, "y": 0}
    assert "not a number" in probe.command("cursor 0x 5")["error"]
    assert "not a number" in probe.command("cursor 12a 5")["error"]
