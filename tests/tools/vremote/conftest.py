"""Wine environment of the virtual remote's tests: a prefix and display for the
session, and VirtualRemote.exe started per test with a feed file of its own.

Run: /usr/bin/python3 -m pytest tests/tools/vremote -q
Binaries come from $MARLOW_BIN_DIR (default: the bin folder of the build tree
of the width under test).
"""

from __future__ import annotations

import subprocess
from pathlib import Path

import pytest

from winebench.probe import Probe, wine_starter
from winebench.wine import WineEnv, Xvfb, wait_for

WINDOW_CLASS, WINDOW_TITLE = "MarlowVirtualRemote", "Virtual remote"
BUTTON_ID_BASE, APPLICATIONS_ID, WRITTEN_LINES_ID, KEY_HEADING_ID = 1000, 2001, 2002, 2010
WM_CLOSE = 0x0010


@pytest.fixture(scope="session")
def wine(tmp_path_factory):
    with Xvfb(1024, 768) as xvfb:
        env = WineEnv(tmp_path_factory.mktemp("wine") / "prefix", xvfb.display)
        env.create_from_template()
        try:
            yield env
        finally:
            env.remove()


@pytest.fixture(scope="session")
def probe(wine, bin_dir):
    with Probe(wine_starter(wine.env), exe=bin_dir / "probe.exe") as p:
        yield p


class Remote:
    """A running VirtualRemote.exe, its window and its feed file."""

    def __init__(self, wine: WineEnv, probe: Probe, exe: Path, feed: Path):
        self.probe, self.feed = probe, feed
        before = {w["hwnd"] for w in probe.find(WINDOW_CLASS)}
        self.proc = wine.start([exe, wine.to_win(feed)])
        self.window = wait_for(lambda: [w for w in probe.find(WINDOW_CLASS, visible=True)
                                        if w["hwnd"] not in before], message="remote window")[0]
        self.hwnd = self.window["hwnd"]

    def controls(self) -> dict:
        return {c["id"]: c for c in self.probe.dialog(self.hwnd)["controls"]}

    def buttons(self) -> dict:
        return {i - BUTTON_ID_BASE: c for i, c in self.controls().items()
                if c["class"] == "Button" and BUTTON_ID_BASE <= i < BUTTON_ID_BASE + 256}

    def lines(self) -> list:
        return self.feed.read_text().splitlines() if self.feed.exists() else []

    def wait_lines(self, predicate, what: str, timeout: float = 10.0) -> list:
        """The feed's lines once predicate(lines) holds (for a non-empty feed)."""
        def check():
            lines = self.lines()
            return lines if lines and predicate(lines) else None
        return wait_for(check, timeout, message=what)

    def close(self) -> int:
        if self.proc.poll() is None:
            self.probe.post(self.hwnd, WM_CLOSE)
            try:
                self.proc.wait(15)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        return self.proc.returncode


@pytest.fixture
def start_remote(wine, probe, bin_dir):
    """start_remote(feed) -> Remote; every remote started is closed afterwards."""
    started = []

    def start(feed: Path) -> Remote:
        started.append(Remote(wine, probe, bin_dir / "VirtualRemote.exe", feed))
        return started[-1]

    yield start
    codes = [remote.close() for remote in started]
    assert codes == [0] * len(started), "the remote did not end cleanly on WM_CLOSE"


@pytest.fixture
def remote(start_remote, tmp_path) -> Remote:
    return start_remote(tmp_path / "feed.txt")
