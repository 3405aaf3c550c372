"""The remote as a mouse, with no TV application running: a held direction
key moves the pointer faster and faster (where it stops at the screen's
edge is the pointer's own tests' business); the keys 1 and 0 click, 6
holds the button down and lets it go (a button still held when the program
ends: the tray's tests of the ways out).

One product serves the whole module. A fake
application with a window of no TV application watches the real mouse
input through its low-level hook.
"""

from __future__ import annotations

import pytest

from remote_steps import (assert_effects, hold, install, opened_bench, press, repeat_counts,
                          start_remote, wait_new)
from winebench import fakeapp
from winebench.surface import KEYS

pytestmark = pytest.mark.screen(1024, 768)

LEFT_CLICK, TOGGLE, RIGHT_CLICK = KEYS["1"], KEYS["6"], KEYS["0"]
DOWN_RIGHT = KEYS["Recall"]
LEFTDOWN, LEFTUP, RIGHTDOWN, RIGHTUP = 2, 4, 8, 16
BUTTON_MESSAGES = {LEFTDOWN: "WM_LBUTTONDOWN", LEFTUP: "WM_LBUTTONUP",
                   RIGHTDOWN: "WM_RBUTTONDOWN", RIGHTUP: "WM_RBUTTONUP"}


class Desk:
    def __init__(self, bench, product, card, observer):
        self.bench, self.product, self.card, self.observer = bench, product, card, observer

    def put_pointer(self, x: int, y: int) -> None:
        assert self.bench.probe.set_cursor(x, y) == (x, y)

    def moves(self, since: int) -> list:
        # The low halves: at 64 bits an int argument's upper half is undefined.
        return [(c.dword(0), c.dword(1))
                for c in self.product.trace.calls("SetCursorPos", since=since)]

    def buttons(self) -> list:
        """(message, x, y) of the button events the observer saw."""
        return [(e["msg"], e["x"], e["y"]) for e in fakeapp.ll_mice(self.observer.log())
                if e["msg"] in BUTTON_MESSAGES.values()]

    def assert_button_events(self, since: int, events, at) -> None:
        """The product sent exactly these mouse_event flags, each at the
        pointer position `at`, with the GetMessageExtraInfo value read just
        before it; the observer saw them as button messages."""
        infos = [c.ret for c in self.product.trace.calls("GetMessageExtraInfo", since=since)]
        expected = []
        for event, info in zip(events, infos):
            expected += [("GetMessageExtraInfo", ()), ("mouse_event", (event, *at, 0, info))]
        assert_effects(self.product, since, expected, also=("GetMessageExtraInfo",))


@pytest.fixture(scope="module")
def desk(wine, tmp_path_factory):
    with opened_bench(wine, tmp_path_factory.mktemp("pointer"),
                      extra_functions=("user32.GetMessageExtraInfo",)) as bench:
        observer = install(bench, "windvr", {"window": [("BenchObserver", "Bench observer")]})
        observer.start()
        product, card = start_remote(bench)
        yield Desk(bench, product, card, observer)


def test_held_key_moves_1_px_four_times_then_width_160_five_times_then_width_80(desk):
    width = desk.bench.probe.metrics()["SM_CXFULLSCREEN"]
    assert width == 1024
    desk.put_pointer(300, 200)
    mark = desk.product.trace.mark()
    counts = repeat_counts(hold(desk.card, DOWN_RIGHT, 1200))
    assert max(counts) >= 10, "the held key never reached the large step"
    x, y, expected = 300, 200, []
    for count in counts:  # no target: every read of the held key moves
        step = 1 if count < 4 else width // 160 if count < 9 else width // 80
        x, y = x + step, y + step
        expected.append((x, y))
    assert desk.moves(mark) == expected
    assert desk.bench.probe.cursor() == expected[-1]


def test_clicks_and_the_button_toggle_at_the_pointer(desk):
    at = (600, 500)
    desk.put_pointer(*at)
    mark = desk.product.trace.mark()
    seen = len(desk.buttons())
    # The second 5 is a repeat: with no target every repeat is delivered.
    press(desk.card, LEFT_CLICK, RIGHT_CLICK, TOGGLE, TOGGLE)
    events = [LEFTDOWN, LEFTUP, RIGHTDOWN, RIGHTUP, LEFTDOWN, LEFTUP]
    desk.assert_button_events(mark, events, at)
    assert wait_new(desk.buttons, seen, len(events)) == [(BUTTON_MESSAGES[e], *at)
                                                          for e in events]

