"""Wine environment for the fake application's and the probe's own tests.

Run: /usr/bin/python3 -m pytest tests/tools/fakeapp -q
Binaries come from $MARLOW_BIN_DIR (default: the bin folder of the build tree
of the width under test).
"""

from __future__ import annotations

import subprocess
import time
from pathlib import Path

import pytest

from winebench import fakeapp
from winebench.probe import Probe, wine_starter
from winebench.wine import WINE, WineEnv, Xvfb, start_wine

SCREEN = (1024, 768)


def _wait(predicate, timeout: float, what: str):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() >= deadline:
            raise TimeoutError(what)
        time.sleep(0.05)


@pytest.fixture(scope="session")
def wine_env(tmp_path_factory):
    """A clone of the bench's template prefix and an Xvfb display of its own,
    shared by the session."""
    with Xvfb(*SCREEN) as xvfb:
        wine = WineEnv(tmp_path_factory.mktemp("wine") / "prefix", xvfb.display).create_from_template()
        try:
            yield wine.env
        finally:
            wine.kill()


@pytest.fixture(scope="session")
def screen_size(wine_env) -> tuple:
    return SCREEN


@pytest.fixture(scope="session")
def drive_c(wine_env) -> Path:
    return Path(wine_env["WINEPREFIX"]) / "drive_c"


@pytest.fixture(scope="session")
def probe(wine_env, bin_dir):
    with Probe(wine_starter(wine_env), exe=bin_dir / "probe.exe") as p:
        yield p


class Launcher:
    """Starts Windows programs in the prefix and ends those still running."""

    def __init__(self, env: dict):
        self.env = env
        self.procs = []

    def start(self, exe, *args) -> subprocess.Popen:
        proc = start_wine([WINE, exe, *args], self.env)
        self.procs.append(proc)
        return proc

    def close(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
            proc.wait(timeout=30)


@pytest.fixture
def launcher(wine_env):
    launcher = Launcher(wine_env)
    yield launcher
    launcher.close()


@pytest.fixture
def install(drive_c, bin_dir, tmp_path):
    """install(identity, config=None, win_dir=None) -> paths: installs a fake app
    in a directory of its own for this test."""
    counter = iter(range(1000))

    def do_install(which, config=None, win_dir=None):
        win_dir = win_dir or r"C:\fake tests\%s\%d" % (tmp_path.name, next(counter))
        fakeapp.install(drive_c, bin_dir / fakeapp.EXE_NAME, which, win_dir, config)
        return fakeapp.installed_paths(drive_c, which, win_dir)

    return do_install
