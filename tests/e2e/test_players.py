"""The players through the card, against the record of their own keys
(tests/real_players.py): with Profiles 1 and no TV application, a fake
player in front under a player's file name and window title gets what the
player itself takes for each remote key. A mail page in a browser gets no
letter and its text field keeps its text, a YouTube page gets YouTube's keys;
Kodi's speed steps act once per press and its OK held opens the context
menu; the user's profiles.ini, in UTF-16 or holding one section, or written
as a full copy by the earlier version, sits on top of the built-in profiles;
a Store app's frame gets the profile of the app it hosts.

The expected keys are the players' own, never the program's tables."""

from __future__ import annotations

from pathlib import Path
from typing import Optional

import pytest

from remote_steps import VK, chord_strokes, hold, install, opened_bench, played, player, press, \
    selector, start_remote
from winebench.surface import KEYS
from winebench.wine import wait_for

TRACE_ALSO = ("user32.GetForegroundWindow", "user32.FindWindowExW")
LOOKUPS = {"GetForegroundWindow", "FindWindowExW"}  # the window in front and a frame's app
FULL_COPY = Path(__file__).resolve().parents[1] / "data" / "profiles-full-copy.ini"
MAIL, VIDEO = "Inbox - Mail - Google Chrome", "Video - YouTube - Google Chrome"
DRAFT = "Dear Ann,"
HELD_MS = 1300  # about twelve reads, 110 ms apart: past a long press's 0.8 s
SHORT_MS = 400  # about four reads: let go before
LONG_PRESS_MS = 800


def user_file(bench, text: Optional[str], encoding: str = "utf-8") -> None:
    """profiles.ini as its owner saved it; None: no file (the program writes
    its commented example)."""
    if text is None:
        bench.profiles_ini.unlink(missing_ok=True)
    else:
        bench.profiles_ini.parent.mkdir(parents=True, exist_ok=True)
        bench.profiles_ini.write_bytes(text.replace("\n", "\r\n").encode(encoding))


def typed(bench, app, hwnd: int, card, *codes: int, then: list, held: int = 0) -> list:
    """Puts the window in front, holds the first code for `held` ms when
    given, taps the others, then Play, whose keys there are `then`, and
    returns the keys that reached the player before those: all that the
    codes did."""
    bench.to_front(hwnd)
    before = len(app.strokes())
    if held:
        reads = hold(card, codes[0], held)
        read_ms = (reads[-1]["t_us"] - reads[0]["t_us"]) / 1000
        assert len(reads) > 2 and (read_ms > LONG_PRESS_MS) == (held > LONG_PRESS_MS), read_ms
        codes = codes[1:]
    press(card, *codes, KEYS["Play"])

    def ended() -> Optional[tuple]:
        new = app.strokes()[before:]
        return (new[:-len(then)],) if new[-len(then):] == then else None
    try:
        return wait_for(ended, 20)[0]
    except TimeoutError:
        came = app.strokes()[before:]
    pytest.fail("Play's keys %r did not end what came: %r" % (then, came))


@pytest.fixture(scope="class")
def desk(wine, tmp_path_factory):
    with opened_bench(wine, tmp_path_factory.mktemp("players"), TRACE_ALSO) as bench:
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"), Profiles=1)
        chrome = install(bench, "chrome.exe", {"window": [("Chrome_WidgetWin_1", MAIL),
                                                          ("Chrome_WidgetWin_1", VIDEO)],
                                               "edit": DRAFT}).start()
        apps = {name: player(bench, name) for name in ("kodi.exe", "vlc.exe", "mpv.exe")}
        yield bench, product, card, chrome, apps


class TestPlayersInFront:
    """One program with Profiles 1, Beyond TV the default and not running,
    fake Kodi, VLC, mpv and Chrome (a mail page with a draft, a video page),
    and at last a Store app in its frame."""

    def test_a_mail_page_gets_no_letter_and_keeps_its_text(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, None)
        mail = chrome.hwnd(title=MAIL)
        assert typed(bench, chrome, mail, card, KEYS["FF"], KEYS["Play"], KEYS["Full"], held=HELD_MS,
                     then=played("Browser", "Play")) == played("Browser", "Play")
        bench.probe.type([ord("1")])  # after the remote's keys, and into the draft

        def draft() -> Optional[str]:
            text, = [c["text"] for c in bench.probe.dialog(mail)["controls"] if c["class"].lower() == "edit"]
            return text if "1" in text else None
        assert wait_for(draft, 10, message="the draft typed into").replace("1", "") == DRAFT

    def test_a_youtube_page_gets_youtubes_keys(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, None)
        assert typed(bench, chrome, chrome.hwnd(title=VIDEO), card, KEYS["Full"],
                     then=played("YouTube", "Play")) == played("YouTube", "Full")

    def test_kodis_fast_forward_held_is_one_speed_step(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, None)
        kodi = apps["kodi.exe"]
        assert typed(bench, kodi, kodi.hwnd(), card, KEYS["FF"], held=HELD_MS,
                     then=played("Kodi", "Play")) == played("Kodi", "FF")

    def test_kodis_ok_held_opens_the_context_menu_once_and_a_tap_selects(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, None)
        kodi, play = apps["kodi.exe"], played("Kodi", "Play")
        assert typed(bench, kodi, kodi.hwnd(), card, KEYS["OK"], KEYS["OK"], held=HELD_MS,
                     then=play) == played("Kodi", "OK.hold") + played("Kodi", "OK")
        assert typed(bench, kodi, kodi.hwnd(), card, KEYS["OK"], held=SHORT_MS,
                     then=play) == played("Kodi", "OK")

    def test_a_utf16_file_adds_a_profile_for_mpv(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, "\ufeff; für mpv\n[Mein mpv – ü]\nprogram = mpv.exe\nPlay = Ctrl+S\n",
                  "utf-16-le")  # with its byte order mark, as Notepad saves "Unicode"
        mpv = apps["mpv.exe"]
        assert typed(bench, mpv, mpv.hwnd(), card, then=chord_strokes(VK["Ctrl"], ord("S"))) == []

    def test_a_file_of_one_section_leaves_vlc_as_it_comes(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, "[mpv]\nprogram = mpv.exe\nPlay = Ctrl+S\n")
        mpv, vlc = apps["mpv.exe"], apps["vlc.exe"]
        assert typed(bench, mpv, mpv.hwnd(), card, then=chord_strokes(VK["Ctrl"], ord("S"))) == []
        assert typed(bench, vlc, vlc.hwnd(), card, KEYS["FF"],
                     then=played("VLC", "Play")) == played("VLC", "FF")

    def test_the_earlier_full_copy_keeps_its_owners_row_and_takes_a_corrected_one(self, desk):
        bench, product, card, chrome, apps = desk
        lines = FULL_COPY.read_text().splitlines()
        lines[lines.index("Info   = I", lines.index("[Kodi]"))] = "Info   = O"
        user_file(bench, "\n".join(lines) + "\n")
        kodi = apps["kodi.exe"]
        assert typed(bench, kodi, kodi.hwnd(), card, KEYS["Info"], KEYS["Prev"],
                     then=played("Kodi", "Play")) == chord_strokes(ord("O")) + played("Kodi", "Prev")


    def test_a_store_apps_frame_gets_the_hosted_apps_profile_in_two_lookups(self, desk):
        bench, product, card, chrome, apps = desk
        user_file(bench, None)
        frame = player(bench, "ApplicationFrameHost.exe", ("ApplicationFrameWindow", "Media Player"))
        app = install(bench, "Microsoft.Media.Player.exe", {
            "window": ("Windows.UI.Core.CoreWindow", "Media Player"),
            "parent": "ApplicationFrameWindow"}).start()
        mark = product.trace.mark()
        assert typed(bench, app, frame.hwnd(), card, KEYS["Full"],
                     then=played("Media Player", "Play")) == played("Media Player", "Full")
        assert len(product.trace.calls("GetForegroundWindow", since=mark)) == 2  # one a key
        assert len(product.trace.calls(LOOKUPS, since=mark)) <= 2 * 2
