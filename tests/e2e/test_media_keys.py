"""The media keys through the card: with MediaKeys 1 and no TV application,
the player keys reach a low-level keyboard hook in another process as the
system's media keys, each a key-down then a key-up; with MediaKeys absent
they do not; a running TV application keeps its own map, and the pointer
keys still move the pointer.

The hook is a fake application's, shown under a window of its own that no TV
application's identity matches, as a media player would be."""

from __future__ import annotations

import pytest

from remote_steps import (App, hold, install, opened_bench, press, run_apps, selector, start_remote,
                          wait_new)
from winebench.surface import KEYS

VK = {"Play": 0xB3, "Stop": 0xB2, "End": 0xB2, "Skip+": 0xB0, "Next": 0xB0, "Skip-": 0xB1,
      "Prev": 0xB1, "Vol+": 0xAF, "Vol-": 0xAE, "Mute": 0xAD}
PLAYER = {"window": ("MarlowMediaPlayer", "A media player")}


def player(bench) -> App:
    return install(bench, "windvr", PLAYER).start()  # the fake, in a player's window


@pytest.fixture(scope="class")
def media_on(wine, tmp_path_factory):
    with opened_bench(wine, tmp_path_factory.mktemp("media-on")) as bench:
        listener = player(bench)
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"), MediaKeys=1)
        yield bench, listener, product, card


class TestMediaKeysOn:
    """One program with MediaKeys 1, Beyond TV the default and no TV application."""

    def test_each_player_key_reaches_the_hook_as_its_media_key_down_then_up(self, media_on):
        bench, listener, product, card = media_on
        before = len(listener.strokes())
        press(card, *(KEYS[label] for label in VK))
        expected = [stroke for label in VK for stroke in ((VK[label], True), (VK[label], False))]
        assert wait_new(listener.strokes, before, len(expected)) == expected


    def test_a_held_volume_key_repeats_and_a_held_play_acts_once(self, media_on):
        bench, listener, product, card = media_on
        before = len(listener.strokes())
        reads = hold(card, KEYS["Vol+"], 700)  # about seven reads, 110 ms apart
        hold(card, KEYS["Play"], 700)
        strokes = wait_new(listener.strokes, before, 2 * len(reads) + 2)
        assert strokes == [(VK["Vol+"], True), (VK["Vol+"], False)] * len(reads) + [
            (VK["Play"], True), (VK["Play"], False)]


    def test_the_pointer_keys_still_move_the_pointer(self, media_on):
        bench, listener, product, card = media_on
        bench.probe.set_cursor(500, 400)
        press(card, KEYS["3"])  # up
        assert bench.probe.cursor() == (500, 399)


def test_without_the_setting_no_media_key_is_typed(wine, tmp_path):
    with opened_bench(wine, tmp_path) as bench:
        listener = player(bench)
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"))
        press(card, *(KEYS[label] for label in VK), KEYS["3"])  # the pointer key marks the end
        assert [vk for vk, down in listener.strokes() if vk in VK.values()] == []


def test_a_running_tv_application_gets_its_own_map(wine, tmp_path):
    with opened_bench(wine, tmp_path) as bench:
        listener = player(bench)
        beyond_tv = run_apps(bench, ["beyondtv"])["beyondtv"]
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"), MediaKeys=1)
        press(card, KEYS["Play"], KEYS["Vol+"])
        assert wait_new(lambda: [w for _, w, _ in beyond_tv.received("WM_KEYDOWN")], 0, 2) == [
            0xB3, 0x6B]  # Play/Pause and Num + posted to its video window
        assert [vk for vk, down in listener.strokes() if vk in VK.values()] == []


def test_the_settings_box_shows_the_setting_stores_a_change_and_a_restart_keeps_it(wine, tmp_path):
    from shell_steps import IDM_SETTINGS, IDOK, SETTINGS_CAPTION, start_shell
    from winebench.ui import BM_CLICK
    from winebench.wine import RegValue

    media_keys_box = 12
    with opened_bench(wine, tmp_path) as bench:
        shell = start_shell(bench, DefaultTVAPP=selector("beyondtv"), MediaKeys=1)

        def open_settings():
            dialog = shell.open_dialog(IDM_SETTINGS, SETTINGS_CAPTION)
            return dialog, shell.control(dialog, media_keys_box)

        dialog, box = open_settings()
        assert box["checked"] == 1 and box["text"] == "Media keys when no TV application runs"
        mark = shell.trace.mark()
        shell.end_dialog(dialog, IDOK)
        assert shell.trace.calls("RegSetValueExA", since=mark) == []  # unchanged: not stored

        dialog, box = open_settings()
        bench.probe.send(box["hwnd"], BM_CLICK, 0, 0)
        shell.end_dialog(dialog, IDOK)
        assert bench.setting("MediaKeys") == RegValue("REG_DWORD", 0)

        shell.product.stop()
        shell = start_shell(bench, card=False)
        dialog, box = open_settings()
        assert box["checked"] == 0
        shell.end_dialog(dialog, IDOK)
