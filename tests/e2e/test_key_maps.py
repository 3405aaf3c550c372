"""The key maps at work: one key of each kind (a posted key, a key chord, a
pointer move or click) from the emulated card to WinDVR running and adopted
as the target, and what reaches it. What every code does in each map is the
key maps' own tests' business (Beyond TV's posts and Quillmarsh's commands
through the card: the adoption's tests); these see that each kind of action
gets through Wine to a real window.

Each class starts its application and the product once and adopts the
application with a key that acts nowhere.
"""

from __future__ import annotations

from dataclasses import dataclass

import pytest

from remote_steps import (ANY, NO_ACTION_KEY, WM_KEYDOWN, App, assert_effects, chord,
                          chord_strokes, dword, front, opened_bench, press, run_apps, start_remote,
                          wait_new)
from winebench import fakeapp
from winebench.scenario import Card, Product
from winebench.surface import KEYS

VK_RETURN, VK_CONTROL, VK_SHIFT = 13, 17, 16
MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP = 1, 2, 4
PARKED = (900, 700)  # the pointer, away from every window


@dataclass
class Target:
    product: Product
    card: Card
    app: App
    window: int         # the window the map posts to
    msg: str            # the message it posts, as the application logs it
    msg_number: int


@pytest.fixture(scope="class")
def target(request, wine, tmp_path_factory):
    cls = request.cls
    with opened_bench(wine, tmp_path_factory.mktemp(cls.IDENTITY)) as bench:
        app = run_apps(bench, [cls.IDENTITY])[cls.IDENTITY]
        product, card = start_remote(bench)
        bench.probe.set_cursor(*PARKED)
        press(card, NO_ACTION_KEY)  # the application becomes the target
        yield Target(product, card, app, app.window(), *cls.MSG)


def check_keys(target: Target, posts: dict) -> None:
    """Presses the keys of `posts` ({label: [(wParam, lParam), ...]}) in its
    order; each posts its messages to the target's window, found when it was
    adopted and not searched for again while it exists; they arrive in order."""
    expected, delivered = [], []
    for label in posts:
        for w, l in posts[label]:
            expected.append(("PostMessageA", (target.window, target.msg_number, w, l)))
            delivered.append((target.window, w, l))
    mark = target.product.trace.mark()
    before = len(target.app.received(target.msg))
    press(target.card, *(KEYS[label] for label in posts))
    assert_effects(target.product, mark, expected, also=("FindWindowExA", "SetTimer"))
    assert wait_new(lambda: target.app.received(target.msg), before, len(delivered)) == delivered


class TestWinDvr:
    IDENTITY = "windvr"
    MSG = ("WM_KEYDOWN", WM_KEYDOWN)

    def test_a_key_posts_its_virtual_key_and_key_data(self, target):
        check_keys(target, {"1": [(ord("1"), 0x00020001)], "Enter": [(VK_RETURN, 0x001C0001)]})

    def test_chords_are_typed_with_the_window_in_front_where_the_map_says(self, target):
        mark = target.product.trace.mark()
        strokes = len(target.app.strokes())
        press(target.card, KEYS["Info"], KEYS["FF"])  # Ctrl+I in front; Ctrl+Shift+F as it is
        keys = [(VK_CONTROL, ord("I")), (VK_CONTROL, VK_SHIFT, ord("F"))]
        assert_effects(target.product, mark,
                       front(target.window) + chord(*keys[0]) + chord(*keys[1]))
        expected = chord_strokes(*keys[0]) + chord_strokes(*keys[1])
        assert wait_new(target.app.strokes, strokes, len(expected)) == expected

    def test_pointer_clicks_and_moves_by_a_step_that_the_step_key_enlarges(self, target):
        x, y = target.product.bench.probe.cursor()
        mark = target.product.trace.mark()
        clicks = len(fakeapp.ll_mice(target.app.log(), "WM_LBUTTONDOWN"))
        press(target.card, KEYS["OK"], KEYS["Right"], KEYS["Step"], KEYS["Up"])  # Step: larger
        assert_effects(target.product, mark, [
            ("mouse_event", (MOUSEEVENTF_LEFTDOWN, x, y, 0, ANY)),
            ("mouse_event", (MOUSEEVENTF_LEFTUP, x, y, 0, ANY)),
            ("mouse_event", (MOUSEEVENTF_MOVE, 10, 0, 0, 0)),
            ("mouse_event", (MOUSEEVENTF_MOVE, 0, dword(-50), 0, 0))])
        down = wait_new(lambda: fakeapp.ll_mice(target.app.log(), "WM_LBUTTONDOWN"), clicks, 1)
        assert (down[0]["x"], down[0]["y"]) == (x, y)

