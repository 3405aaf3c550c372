"""The three key maps at work: remote keys from the emulated card, with one
fake TV application running and adopted as the target, and what reaches it.

Each class starts its application and the product once and adopts the
application with a key that acts nowhere; its cases then press batches of
distinct codes (so that every read is a first press) and compare the API
trace and the application's log with the tables below.
"""

from __future__ import annotations

from dataclasses import dataclass

import pytest

from remote_steps import (ANY, HIGH_CODES, NO_ACTION_KEY, POWER, QUILLMARSH_MESSAGE, WM_KEYDOWN,
                          App, assert_effects, chord, chord_strokes, dword, front, open_bench,
                          TV_WINDOW, press, run_apps, start_remote, wait_new)
from winebench import fakeapp
from winebench.scenario import Card, Product

VK_RETURN, VK_SHIFT, VK_CONTROL, VK_MENU = 13, 16, 17, 18
VK_UP, VK_DOWN = 38, 40

MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP = 1, 2, 4
PARKED = (900, 700)  # the pointer, away from every window

# -- WinDVR 6: WM_KEYDOWN (virtual key, lParam) to the "InterVideo WinDVR 6" window
WINDVR_POSTS = {
    0: (ord("1"), 0x00020001), 1: (ord("2"), 0x00030001), 2: (ord("3"), 0x00040001),
    3: (ord("4"), 0x00050001), 4: (ord("5"), 0x00060001), 5: (ord("6"), 0x00070001),
    6: (ord("7"), 0x00080001), 7: (ord("8"), 0x00090001), 8: (ord("9"), 0x000A0001),
    9: (ord("L"), 0), 10: (ord("0"), 0x000B0001), 11: (VK_RETURN, 0x001C0001),
    20: (ord("M"), 0x00320001), 21: (ord("U"), 0x00160001), 23: (ord("Z"), 0x002C0001),
    25: (ord("T"), 0), 26: (35, 0), 27: (36, 0), 30: (33, 0x01490001), 31: (34, 0x01510001),
    68: (32, 0), 69: (35, 0), 72: (ord("O"), 0), 73: (ord("H"), 0x001E0001),
    74: (ord("P"), 0x00190001),
}
# code: (brought to the front first, chord keys)
WINDVR_CHORDS = {
    22: (True, (VK_CONTROL, ord("I"))), 28: (True, (VK_SHIFT, VK_UP)),
    29: (True, (VK_SHIFT, VK_DOWN)), 64: (False, (VK_CONTROL, VK_SHIFT, ord("F"))),
    65: (False, (VK_CONTROL, VK_SHIFT, ord("R"))), 78: (False, (VK_CONTROL, ord("B"))),
    79: (False, (VK_CONTROL, ord("F"))),
}
WINDVR_MOVES = {16: (0, -1), 17: (0, 1), 18: (-1, 0), 19: (1, 0)}  # times the step
WINDVR_CLICK, WINDVR_FAST_STEP = 14, 75

# -- Beyond TV: WM_KEYDOWN virtual keys, lParam 0, to the "Streamzap.WM.D3D" window
BEYONDTV_POSTS = {
    0: (97,), 1: (98,), 2: (99,), 3: (100,), 4: (101,), 5: (102,), 6: (103,), 7: (104,),
    8: (105,), 9: (ord("L"),), 10: (96,), 11: (VK_RETURN,), 14: (VK_RETURN,), 16: (VK_UP,),
    17: (VK_DOWN,), 18: (37,), 19: (39,), 20: (ord("M"),), 26: (ord("S"),), 27: (ord("R"),),
    28: (107,), 29: (109,), 30: (VK_UP, VK_RETURN), 31: (VK_DOWN, VK_RETURN), 64: (188,),
    65: (190,), 66: (37,), 67: (39,), 68: (179,), 69: (ord("S"),), 72: (27,), 73: (36,),
    74: (46,), 75: (ord("O"),), 76: (ord("I"),), 77: (122,), 78: (33,), 79: (34,),
}
BEYONDTV_LOOKUP_ONLY = (21, 22, 25)
BEYONDTV_FULL_SCREEN = 23  # front, then Alt+Enter

# -- Quillmarsh: message 4024 with the command in wParam, to "VarnelMainPanel_Class"
QUILLMARSH_COMMANDS = {
    0: 10001, 1: 10002, 2: 10003, 3: 10004, 4: 10005, 5: 10006, 6: 10007, 7: 10008, 8: 10009,
    9: 4003, 10: 10000, 11: 10020, 14: 18, 16: 4001, 17: 4002, 18: 402, 19: 401, 20: 403,
    21: 300, 22: 200, 23: 3, 24: 5, 25: 2000, 26: 1002, 27: 1001, 28: 1000, 29: 5001, 30: 17,
    31: 8, 64: 1005, 65: 1004, 66: 1008, 67: 1009, 68: 3000, 69: 1002, 72: 4004, 73: 22,
    74: 20, 75: 21,
}


def ignored_codes(acted) -> list:
    """Codes of the table's range that the map leaves alone (Power aside),
    and a sample of the codes above it."""
    return [c for c in range(80) if c not in acted and c != POWER] + list(HIGH_CODES)


@dataclass
class Target:
    product: Product
    card: Card
    app: App
    window: int         # the window the map posts to
    msg: str            # the message it posts, as the application logs it
    msg_number: int
    lookup: list        # the map's traced lookup of the window, if any


@pytest.fixture(scope="class")
def target(request, wine, tmp_path_factory):
    cls = request.cls
    bench = open_bench(wine, tmp_path_factory.mktemp(cls.IDENTITY))
    try:
        app = run_apps(bench, [cls.IDENTITY])[cls.IDENTITY]
        product, card = start_remote(bench)
        bench.probe.set_cursor(*PARKED)
        press(card, NO_ACTION_KEY)  # the application becomes the target
        window = TV_WINDOW[cls.IDENTITY]
        # Beyond TV and Quillmarsh are looked up by class (traced); WinDVR 6 by
        # walking the windows for its title (not traced).
        lookup = [("FindWindowExA", (ANY, 0, window["cls"], 0))] if "cls" in window else []
        yield Target(product, card, app, app.hwnd(**window), *cls.MSG, lookup)
    finally:
        bench.close()


def check_keys(target: Target, codes, posts: dict, lookups_only=()) -> None:
    """Presses `codes`. Each code in `posts` ({code: [(wParam, lParam), ...]})
    or in `lookups_only` looks the window up afresh, then posts its messages;
    every other code does nothing at all. The posts arrive in order."""
    expected, delivered = [], []
    for code in codes:
        if code in posts or code in lookups_only:
            expected += target.lookup
        for w, l in posts.get(code, ()):
            expected.append(("PostMessageA", (target.window, target.msg_number, w, l)))
            delivered.append((target.window, w, l))
    mark = target.product.trace.mark()
    before = len(target.app.received(target.msg))
    press(target.card, *codes)
    assert_effects(target.product, mark, expected, also=("FindWindowExA", "SetTimer"))
    assert wait_new(lambda: target.app.received(target.msg), before, len(delivered)) == delivered


def check_ignored(target: Target, acted, marker: int, posts: dict, lookups_only=()) -> None:
    """A batch of the codes the map ignores (and `lookups_only`), then the
    marker: only the marker's message arrives."""
    check_keys(target, ignored_codes(acted) + list(lookups_only) + [marker],
               {marker: posts[marker]}, lookups_only)


class TestWinDvr:
    IDENTITY = "windvr"
    MSG = ("WM_KEYDOWN", WM_KEYDOWN)
    POSTS = {code: [post] for code, post in WINDVR_POSTS.items()}

    def test_keys_post_their_virtual_key_and_key_data(self, target):
        check_keys(target, list(self.POSTS), self.POSTS)

    def test_chords_come_front_first_only_where_the_map_says(self, target):
        mark = target.product.trace.mark()
        strokes = len(target.app.strokes())
        press(target.card, *WINDVR_CHORDS)
        expected, expected_strokes = [], []
        for raise_first, keys in WINDVR_CHORDS.values():
            expected += (front(target.window) if raise_first else []) + chord(*keys)
            expected_strokes += chord_strokes(*keys)
        assert_effects(target.product, mark, expected)
        assert wait_new(target.app.strokes, strokes, len(expected_strokes)) == expected_strokes

    def test_pointer_moves_by_the_step_that_code_75_switches_and_14_clicks(self, target):
        x, y = target.product.bench.probe.cursor()
        mark = target.product.trace.mark()
        clicks = len(fakeapp.ll_mice(target.app.log(), "WM_LBUTTONDOWN"))
        moves = list(WINDVR_MOVES)
        press(target.card, WINDVR_CLICK, *moves, WINDVR_FAST_STEP, *moves, WINDVR_FAST_STEP,
              moves[0])
        expected = [("mouse_event", (MOUSEEVENTF_LEFTDOWN, x, y, 0, ANY)),
                    ("mouse_event", (MOUSEEVENTF_LEFTUP, x, y, 0, ANY))]
        for step, codes in ((10, moves), (50, moves), (10, moves[:1])):
            expected += [("mouse_event", (MOUSEEVENTF_MOVE, dword(dx * step), dword(dy * step),
                                          0, 0)) for dx, dy in map(WINDVR_MOVES.get, codes)]
        assert_effects(target.product, mark, expected)
        down = wait_new(lambda: fakeapp.ll_mice(target.app.log(), "WM_LBUTTONDOWN"), clicks, 1)
        assert (down[0]["x"], down[0]["y"]) == (x, y)

    def test_ignored_codes_do_nothing(self, target):
        acted = (set(WINDVR_POSTS) | set(WINDVR_CHORDS) | set(WINDVR_MOVES)
                 | {WINDVR_CLICK, WINDVR_FAST_STEP})
        check_ignored(target, acted, 68, self.POSTS)


class TestBeyondTv:
    IDENTITY = "beyondtv"
    MSG = ("WM_KEYDOWN", WM_KEYDOWN)
    POSTS = {code: [(vk, 0) for vk in vks] for code, vks in BEYONDTV_POSTS.items()}

    def test_keys_post_plain_virtual_keys(self, target):
        check_keys(target, list(self.POSTS), self.POSTS)

    def test_code_23_brings_it_front_then_sends_alt_enter(self, target):
        mark = target.product.trace.mark()
        strokes = len(target.app.strokes())
        press(target.card, BEYONDTV_FULL_SCREEN)
        assert_effects(target.product, mark, front(target.window) + chord(VK_MENU, VK_RETURN))
        assert wait_new(target.app.strokes, strokes, 4) == chord_strokes(VK_MENU, VK_RETURN)

    def test_ignored_codes_do_nothing_not_even_the_lookup(self, target):
        acted = set(BEYONDTV_POSTS) | set(BEYONDTV_LOOKUP_ONLY) | {BEYONDTV_FULL_SCREEN}
        check_ignored(target, acted, 16, self.POSTS, BEYONDTV_LOOKUP_ONLY)


class TestQuillmarsh:
    IDENTITY = "quillmarsh"
    MSG = ("MSG4024", QUILLMARSH_MESSAGE)
    POSTS = {code: [(command, 0)] for code, command in QUILLMARSH_COMMANDS.items()}

    def test_keys_post_their_command(self, target):
        check_keys(target, list(self.POSTS), self.POSTS)

    def test_ignored_codes_do_nothing_not_even_the_lookup(self, target):
        check_ignored(target, set(QUILLMARSH_COMMANDS), 14, self.POSTS)
