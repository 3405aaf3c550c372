"""probe.exe under Wine: errors, numbers and the pointer."""

from __future__ import annotations

import subprocess

import pytest

from winebench.probe import ProbeError
from winebench.wine import WINE, start_wine


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

    one_shot = start_wine([WINE, bin_dir / "probe.exe", "dialog", "0x1"], wine_env,
                          stdout=subprocess.PIPE)
    output = one_shot.communicate(timeout=60)[0]
    assert one_shot.returncode == 1 and b'"error"' in output


def test_numbers_and_cursor(probe):
    assert probe.set_cursor(123, 45) == (123, 45)
    assert probe.cursor() == (123, 45)
    assert probe.call("cursor", "0x10", "-0") == {"x": 16, "y": 0}
    assert "not a number" in probe.command("cursor 0x 5")["error"]
    assert "not a number" in probe.command("cursor 12a 5")["error"]
