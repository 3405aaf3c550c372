"""Shared by the tests of the bench's Windows tools."""

from __future__ import annotations

from pathlib import Path

import pytest

from winebench.scenario import default_bin_dir
TOOL_PROGRAMS = ("FakeTvApp.exe", "probe.exe", "VirtualRemote.exe")


@pytest.fixture(scope="session")
def bin_dir() -> Path:
    """$MARLOW_BIN_DIR, else the bin folder of the width under test, with the tools built."""
    path = default_bin_dir()
    for exe in TOOL_PROGRAMS:
        if not (path / exe).is_file():
            pytest.fail("%s missing in %s (build it or set MARLOW_BIN_DIR)" % (exe, path))
    return path
