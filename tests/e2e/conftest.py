"""Fixtures of the end-to-end tests: a Wine prefix and display per screen size
(or per test module that asks for its own) and a Bench (cards, TV
applications, settings, the product) per test.

Binaries come from $MARLOW_BIN_DIR (default build/bin). MARLOW_KEEP_PREFIX=1
keeps the modules' prefixes (their paths are printed) for a look afterwards.
"""

from __future__ import annotations

import os
from pathlib import Path

import pytest

from winebench.scenario import Bench, default_bin_dir
from winebench.trace import DEFAULT_FUNCTIONS
from winebench.wine import WIDTH, WineEnv, Xvfb

DEFAULT_SCREEN = (1024, 768)


def _screen(request) -> tuple:
    """pytestmark = pytest.mark.screen(800, 600) in a module, or a module
    variable WINE_SCREEN = (800, 600)."""
    marker = request.node.get_closest_marker("screen")
    if marker:
        return tuple(marker.args)
    return getattr(request.module, "WINE_SCREEN", DEFAULT_SCREEN)


def _make_prefix(screen: tuple, tmp_path_factory, prefix_width: int = WIDTH) -> tuple:
    """A display of that size and a fresh prefix (cloned from the template) on it."""
    server = Xvfb(*screen).start()
    try:
        env = WineEnv(tmp_path_factory.mktemp("wine") / "prefix", server.display, prefix_width)
        env.create_from_template()
    except BaseException:
        server.stop()
        raise
    return server, env


def _end_prefix(server: Xvfb, env: WineEnv) -> None:
    """Ends every process of the prefix and removes it, then the display."""
    try:
        if os.environ.get("MARLOW_KEEP_PREFIX") == "1":
            env.kill()
            print("\nkept Wine prefix %s" % env.prefix)
        else:
            env.remove()
    finally:
        server.stop()


@pytest.fixture(scope="session")
def _shared_prefixes(tmp_path_factory):
    """One display and prefix per screen size, shared by the modules of this
    pytest process that do not ask for their own: a bench removes what the
    tests before it left in the registry and ends their programs."""
    made = {}

    def get(screen: tuple) -> tuple:
        if screen not in made:
            made[screen] = _make_prefix(screen, tmp_path_factory)
        return made[screen]
    yield get
    for server, env in made.values():
        _end_prefix(server, env)


@pytest.fixture(scope="module")
def _module_prefix(request, _shared_prefixes, tmp_path_factory):
    """The module's display and prefix: shared with other modules of its
    screen size, or its own with a module variable OWN_PREFIX = True (for
    modules that change the prefix beyond what a bench resets: installs,
    a shutdown, the prefix itself). A module variable PREFIX_WIDTH = 64 at
    width 32 gives it a 64-bit prefix of its own, in which the 32-bit
    programs run under WoW64."""
    screen = _screen(request)
    prefix_width = getattr(request.module, "PREFIX_WIDTH", WIDTH)
    if getattr(request.module, "OWN_PREFIX", False) or prefix_width != WIDTH:
        made = _make_prefix(screen, tmp_path_factory, prefix_width)
        try:
            yield made
        finally:
            _end_prefix(*made)
    else:
        yield _shared_prefixes(screen)


@pytest.fixture(scope="module")
def xvfb(_module_prefix) -> Xvfb:
    return _module_prefix[0]


@pytest.fixture(scope="module")
def wine(_module_prefix) -> WineEnv:
    """The module's prefix on its display, Wine's services running."""
    return _module_prefix[1]


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
