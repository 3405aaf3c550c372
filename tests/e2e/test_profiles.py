"""Profiles for other players through the card: with Profiles 1 and no TV
application, a fake player in front under a player's file name gets the keys
of its built-in profile typed to it (SendInput), in order; a held direction
repeats, a held Play acts once; the key display shows what each key did and
never takes the focus; the user's profiles.ini, written as a commented
example, is read again when it changes, changes the built-in profile key by
key, and a bad line in it is skipped and reported. With Profiles absent
nothing changes (that a running TV application keeps the remote is the
profiles' routing tests' business).

The expected keys here are the program's own (its built-in profiles as
surface.json prints them): these tests hold the routing, typing and display;
test_players.py holds what each player gets against the players' own keys."""

from __future__ import annotations

from typing import Optional

import pytest

from remote_steps import (chord_strokes, hold, opened_bench, player, press, selector,
                          start_remote, wait_new)
from winebench.scenario import KEY_DISPLAY_CLASS
from winebench.surface import KEYS, PROFILES, profile_of, profile_rows
from winebench.wine import wait_for

TRACE_ALSO = ("user32.GetForegroundWindow", "kernel32.OutputDebugStringA")
VLC = profile_of("vlc.exe")
ROWS = profile_rows(VLC)
# Power, Standby and Off keep their roles with a profile in front.
KEPT = ("Power", "Standby", "Off")
TYPED = [label for label, row in ROWS.items() if row["kind"] == "chord" and label not in KEPT]
MEDIA_PLAY_PAUSE, MEDIA_VOLUME_UP = 0xB3, 0xAF
WS_EX_TRANSPARENT = 0x20
DISPLAY_SHOWN_AT_MOST_S = 10  # about a second, on a slow machine


def strokes(label: str, rows: dict = ROWS) -> list:
    """What a keyboard hook sees of the key's row: its keys pressed in order,
    released in reverse."""
    return chord_strokes(*rows[label]["keys"])


def shown(bench, text: Optional[str] = None) -> list:
    """The key display's visible windows, titled with the texts shown; with
    a text, the one window that shows it, or none."""
    windows = bench.probe.find(cls=KEY_DISPLAY_CLASS, visible=True)
    return windows if text is None or [w["title"] for w in windows] == [text] else []


def front(bench) -> int:
    return int(bench.probe.foreground()["hwnd"], 0)


@pytest.fixture(scope="class")
def vlc_in_front(wine, tmp_path_factory):
    with opened_bench(wine, tmp_path_factory.mktemp("profiles"), TRACE_ALSO) as bench:
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"), Profiles=1,
                                     ShowKeys=1)
        vlc = player(bench, "vlc.exe")
        yield bench, vlc, product, card


class TestVlcInFront:
    """One program with Profiles and ShowKeys 1, Beyond TV the default, no TV
    application, and a fake VLC in front."""

    def test_each_key_types_its_row_in_order_with_one_foreground_lookup(self, vlc_in_front):
        bench, vlc, product, card = vlc_in_front
        before, mark = len(vlc.strokes()), product.trace.mark()
        press(card, *(KEYS[label] for label in TYPED))
        expected = [stroke for label in TYPED for stroke in strokes(label)]
        assert wait_new(vlc.strokes, before, len(expected)) == expected
        assert len(product.trace.calls("GetForegroundWindow", since=mark)) == len(TYPED)
        assert len(product.trace.calls("SendInput", since=mark)) == len(TYPED)

    def test_a_held_right_repeats_and_a_held_play_acts_once(self, vlc_in_front):
        bench, vlc, product, card = vlc_in_front
        before = len(vlc.strokes())
        reads = hold(card, KEYS["Right"], 700)  # about seven reads, 110 ms apart
        assert len(reads) > 2
        hold(card, KEYS["Play"], 700)
        expected = strokes("Right") * len(reads) + strokes("Play")
        assert wait_new(vlc.strokes, before, len(expected)) == expected

    def test_the_key_display_shows_what_the_key_did_keeps_the_focus_and_goes(self, vlc_in_front):
        bench, vlc, product, card = vlc_in_front
        wait_for(lambda: not shown(bench), DISPLAY_SHOWN_AT_MOST_S, message="no key display")
        assert front(bench) == vlc.hwnd()
        before = len(vlc.log())
        press(card, KEYS["Play"])
        text = "%s: Play" % VLC["name"]
        (display,) = wait_for(lambda: shown(bench, text), 10, message=text)
        assert display["topmost"] and display["exstyle"] & WS_EX_TRANSPARENT  # click-through
        assert front(bench) == vlc.hwnd()
        wait_for(lambda: not shown(bench), DISPLAY_SHOWN_AT_MOST_S, message="the key display gone")
        assert front(bench) == vlc.hwnd()
        focus = ("WM_KILLFOCUS", "WM_ACTIVATE")
        assert [e for e in vlc.log()[before:] if e.get("msg") in focus] == []

    def test_a_window_of_a_profiles_class_gets_its_keys(self, vlc_in_front):
        bench, vlc, product, card = vlc_in_front
        profile = next(p for p in PROFILES if p["classes"])
        rows = profile_rows(profile)
        label = next(label for label in TYPED if rows.get(label, {}).get("kind") == "chord")
        other = player(bench, "player.exe", (profile["classes"][0], "A player"))
        try:
            press(card, KEYS[label])
            assert wait_new(other.strokes, 0, 2 * len(rows[label]["keys"])) == strokes(label, rows)
        finally:
            bench.to_front(vlc.hwnd())

    def test_an_edit_acts_on_the_next_key_and_a_bad_line_is_skipped_and_traced(self, vlc_in_front):
        bench, vlc, product, card = vlc_in_front
        press(card, KEYS["Play"])  # the file is written, as an example, when missing
        example = bench.profiles_ini.read_text()
        assert all(line.startswith(";") for line in example.splitlines() if line.strip())
        lines = example.splitlines() + ["[%s]" % VLC["name"].lower(), "Vol++ = S", "Play = S"]
        bench.profiles_ini.write_text("\r\n".join(lines) + "\r\n")
        before, mark = len(vlc.strokes()), product.trace.mark()
        press(card, KEYS["Play"], KEYS["Right"])
        expected = chord_strokes(ord("S")) + strokes("Right")
        assert wait_new(vlc.strokes, before, len(expected)) == expected
        traced = [str(c.args[0]) for c in product.trace.calls("OutputDebugStringA", since=mark)]
        bad_line = len(lines) - 1  # counted from 1
        assert [t for t in traced
                if "profiles.ini" in t and "line %d " % bad_line in t and "Vol++" in t], traced


def test_without_the_setting_the_keys_go_to_the_media_keys_and_the_pointer(wine, tmp_path):
    with opened_bench(wine, tmp_path, TRACE_ALSO) as bench:
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"), MediaKeys=1)
        vlc = player(bench, "vlc.exe")
        x, y = bench.probe.set_cursor(500, 400)
        mark = product.trace.mark()
        press(card, KEYS["Play"], KEYS["Vol+"], KEYS["Right"], KEYS["3"])  # 3: the pointer up
        assert wait_new(vlc.strokes, 0, 4) == chord_strokes(MEDIA_PLAY_PAUSE) + chord_strokes(
            MEDIA_VOLUME_UP)
        assert bench.probe.cursor() == (x, y - 1)
        assert product.trace.calls({"SendInput", "GetForegroundWindow"}, since=mark) == []

