"""Shared by the tests of the bench's Windows tools."""

from __future__ import annotations

import os
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]
TOOL_PROGRAMS = ("FakeTvApp.exe", "probe.exe", "ProbeTarget.exe", "VirtualRemote.exe")


@pytest.fixture(scope="session")
def bin_dir() -> Path:
    """$MARLOW_BIN_DIR, else build/bin of this repository, with the tools built."""
    path = Path(os.environ.get("MARLOW_BIN_DIR", REPO / "build" / "bin"))
    for exe in TOOL_PROGRAMS:
        if not (path / exe).is_file():
            pytest.fail("%s missing in %s (build it or set MARLOW_BIN_DIR)" % (exe, path))
    return path
