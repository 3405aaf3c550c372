"""How a key finds its way while no TV application is the target: the
router adopts a running application (in a fixed order) and hands it the key
at once; from then on keys go straight to it, and a held key reaches it only
at its first read and every tenth repeat.
"""

from __future__ import annotations

import pytest

from remote_steps import (WM_KEYDOWN, assert_effects, command, hold, opened_bench, press,
                          repeat_counts, run_apps, search, start_remote, wait_new)
from winebench.surface import APPS, KEYS

VK_NUMPAD5, VK_UP = 101, 38
DIGIT_5, UP = KEYS["5"], KEYS["Up"]

# The searches of an adoption, one an application in the rows' order, all
# made before any result is used.
ADOPTION_SEARCHES = [call for app in APPS for call in search(app, "adopt")]


@pytest.fixture(scope="class")
def beyond_tv(wine, tmp_path_factory):
    """Beyond TV running, started by the user, and the product beside it."""
    with opened_bench(wine, tmp_path_factory.mktemp("beyondtv")) as bench:
        app = run_apps(bench, ["beyondtv"])["beyondtv"]
        product, card = start_remote(bench)
        yield product, card, app


class TestBeyondTvRunning:
    def test_digit_5_adopts_beyond_tv_and_reaches_its_video_window(self, beyond_tv):
        product, card, app = beyond_tv
        video = app.window()

        mark = product.trace.mark()
        press(card, DIGIT_5)  # each application looked for once; Beyond TV's window kept
        assert_effects(product, mark, ADOPTION_SEARCHES + [
            ("PostMessageA", (video, WM_KEYDOWN, VK_NUMPAD5, 0))])
        assert wait_new(lambda: app.received("WM_KEYDOWN"), 0, 1) == [(video, VK_NUMPAD5, 0)]

        # Beyond TV stays the target: the next key goes straight to its map,
        # to the window it has, with no search while that window exists.
        mark = product.trace.mark()
        press(card, UP)
        assert_effects(product, mark, [("PostMessageA", (video, WM_KEYDOWN, VK_UP, 0))],
                       also=("FindWindowExA",))

    def test_held_key_reaches_the_target_at_reads_0_10_20_only(self, beyond_tv):
        product, card, app = beyond_tv
        press(card, DIGIT_5)  # the target is set, and the held key differs from the last one
        mark = product.trace.mark()
        before = len(app.received("WM_KEYDOWN"))

        reads = hold(card, UP, 0, reads=21)  # up to the 20th repeat
        delivered = sum(1 for count in repeat_counts(reads) if count % 10 == 0)

        posts = product.trace.calls("PostMessageA", since=mark)
        assert len(posts) == delivered and all(
            [p.dword(1)] + p.args[2:] == [WM_KEYDOWN, VK_UP, 0] for p in posts)
        assert len(wait_new(lambda: app.received("WM_KEYDOWN"), before, delivered)) == delivered


def test_quillmarsh_is_adopted_before_beyond_tv_and_windvr(bench):
    apps = run_apps(bench, ["windvr", "beyondtv", "quillmarsh"])
    product, card = start_remote(bench)
    quillmarsh = apps["quillmarsh"]
    mark = product.trace.mark()
    press(card, DIGIT_5)
    assert_effects(product, mark, ADOPTION_SEARCHES + [command(quillmarsh, 10005)])
    assert wait_new(quillmarsh.commands, 0, 1) == [(quillmarsh.window(), 10005, 0)]
    assert apps["beyondtv"].received("WM_KEYDOWN") == apps["windvr"].received("WM_KEYDOWN") == []
