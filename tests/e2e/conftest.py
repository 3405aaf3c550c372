"""Fixtures of the end-to-end tests: a Wine prefix and display per test module
and a Bench (cards, TV applications, settings, the product) per test.

Binaries come from $MARLOW_BIN_DIR (default build/bin). MARLOW_KEEP_PREFIX=1
keeps the modules' prefixes (their paths are printed) for a look afterwards.
"""

from __future__ import annotations

import os
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from winebench.scenario import Bench, default_bin_dir  # noqa: E402
from winebench.trace import DEFAULT_FUNCTIONS  # noqa: E402
from winebench.wine import WineEnv, Xvfb  # noqa: E402

DEFAULT_SCREEN = (1024, 768)


def _screen(request) -> tuple:
    """pytestmark = pytest.mark.screen(800, 600) in a module, or a module
    variable WINE_SCREEN = (800, 600)."""
    marker = request.node.get_closest_marker("screen")
    if marker:
        return tuple(marker.args)
    return getattr(request.module, "WINE_SCREEN", DEFAULT_SCREEN)


@pytest.fixture(scope="module")
def xvfb(request):
    with Xvfb(*_screen(request)) as server:
        yield server


@pytest.fixture(scope="module")
def wine(xvfb, tmp_path_factory):
    """A fresh prefix (cloned from the template) on the module's display.
    Teardown ends every process of the prefix and removes it."""
    env = WineEnv(tmp_path_factory.mktemp("wine") / "prefix", xvfb.display)
    env.create_from_template()
    try:
        yield env
    finally:
        if os.environ.get("MARLOW_KEEP_PREFIX") == "1":
            env.kill()
            print("\nkept Wine prefix %s" % env.prefix)
        else:
            env.remove()


@pytest.fixture(scope="session")
def bin_dir() -> Path:
    return default_bin_dir()


@pytest.fixture
def bench(request, wine, bin_dir, tmp_path):
    """The product's surroundings for one test, in the module's prefix:
    registry state of earlier tests removed; its programs ended afterwards.
    A module variable TRACE_ALSO = ("user32.GetCursorPos", ...) adds
    functions to the relay trace's usual ones."""
    functions = DEFAULT_FUNCTIONS + tuple(getattr(request.module, "TRACE_ALSO", ()))
    b = Bench(wine, tmp_path, bin_dir, functions=functions)
    try:
        yield b
    finally:
        b.close()
