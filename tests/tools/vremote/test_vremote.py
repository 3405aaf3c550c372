"""VirtualRemote.exe under Wine: the lines its buttons write to the feed, its
window and panel, and the TV applications it sees."""

from __future__ import annotations

import time

from conftest import APPLICATIONS_ID, KEY_HEADING_ID, WINDOW_CLASS, WINDOW_TITLE, WRITTEN_LINES_ID
from winebench import fakeapp
from winebench.surface import APPS
from winebench.wine import wait_for

WM_CANCELMODE, WM_COMMAND = 0x001F, 0x0111
WM_KEYDOWN, WM_KEYUP = 0x0100, 0x0101
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK = 0x0200, 0x0201, 0x0202, 0x0203
BM_CLICK, TTM_GETTOOLCOUNT = 0x00F5, 0x040D
VK_RETURN, VK_SPACE = 0x0D, 0x20
WS_MAXIMIZEBOX, WS_THICKFRAME = 0x00010000, 0x00040000
INSIDE = 0x00050005  # x 5, y 5: inside any button
# Then one mode per application, in the order of the program's rows.
MODE_NAMES = ("No TV application", "With media keys", *(app["name"] for app in APPS.values()))


def _three_buttons(remote):
    buttons = remote.buttons()
    return [(code, buttons[code]["hwnd"]) for code in sorted(buttons)[:3]]


def test_clicks_tap_once_and_a_long_press_holds_until_release(remote, probe):
    (a, button_a), (b, button_b), (c, button_c) = _three_buttons(remote)
    probe.send(button_a, BM_CLICK)
    assert remote.lines() == ["tap %d" % a]  # written before BM_CLICK returns
    for msg in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP):  # posted double click
        probe.post(button_b, msg, 0, INSIDE)

    posted = time.monotonic()
    probe.post(button_c, WM_LBUTTONDOWN, 1, INSIDE)
    hold = "hold %d 400" % c
    lines = remote.wait_lines(lambda lines: hold in lines, "hold starts")
    assert time.monotonic() - posted >= 0.35
    assert lines[:3] == ["tap %d" % a, "tap %d" % b, "tap %d" % b] and set(lines[3:]) == {hold}
    remote.wait_lines(lambda lines: lines.count(hold) >= 3, "hold renewed")
    assert time.monotonic() - posted >= 0.35 + 2 * 0.15  # renewed every 150 ms, no faster

    probe.post(button_c, WM_LBUTTONUP, 0, INSIDE)
    lines = remote.wait_lines(lambda lines: lines[-1] == "hold %d 0" % c, "hold ends")
    probe.post(button_a, WM_LBUTTONDOWN, 1, INSIDE)  # a later line proves nothing came between
    probe.post(button_a, WM_LBUTTONUP, 0, INSIDE)
    assert remote.wait_lines(lambda new: len(new) > len(lines), "next tap") == lines + ["tap %d" % a]


def test_lost_capture_ends_a_hold_and_keys_tap_once(remote, probe):
    (a, button_a), (b, button_b), _ = _three_buttons(remote)
    hold = "hold %d 400" % a
    probe.post(button_a, WM_LBUTTONDOWN, 1, INSIDE)
    remote.wait_lines(lambda lines: hold in lines, "hold starts")
    probe.send(button_a, WM_CANCELMODE)
    held = remote.lines()
    assert held[-1] == "hold %d 0" % a and set(held[:-1]) == {hold}

    for vk, scan in ((VK_SPACE, 0x39), (VK_RETURN, 0x1C)):  # a press, its auto-repeat, the release
        for msg, flags in ((WM_KEYDOWN, 0), (WM_KEYDOWN, 0x40000000), (WM_KEYUP, 0xC0000000)):
            probe.post(button_b, msg, vk, flags | scan << 16 | 1)
    probe.post(button_a, WM_LBUTTONDOWN, 1, INSIDE)
    probe.post(button_a, WM_LBUTTONUP, 0, INSIDE)
    lines = remote.wait_lines(lambda lines: lines[-1] == "tap %d" % a, "keys and a click")
    assert lines[len(held):] == ["tap %d" % b, "tap %d" % b, "tap %d" % a]


def test_feed_is_appended_and_the_last_eight_lines_are_listed(start_remote, tmp_path, probe):
    feed = tmp_path / "feed.txt"
    feed.write_text("# written before\n")
    remote = start_remote(feed)
    clicked = sorted(remote.buttons().items())[:10]
    for _, button in clicked:
        probe.send(button["hwnd"], BM_CLICK)
    taps = ["tap %d" % code for code, _ in clicked]
    assert feed.read_bytes() == ("# written before\n" + "".join(t + "\n" for t in taps)).encode()
    assert remote.controls()[WRITTEN_LINES_ID]["items"] == taps[::-1][:8]


def test_a_feed_that_cannot_be_written_is_reported(start_remote, tmp_path, probe):
    remote = start_remote(tmp_path / "missing dir" / "feed.txt")
    code, button = _three_buttons(remote)[0]
    probe.send(button, BM_CLICK)
    assert remote.controls()[WRITTEN_LINES_ID]["items"] == [
        "tap %d  (not written: error 3)" % code]  # ERROR_PATH_NOT_FOUND


def test_window_is_a_fixed_size_remote_whose_panel_explains_the_key_pointed_at(remote, probe):
    window = remote.window
    assert (window["class"], window["title"]) == (WINDOW_CLASS, WINDOW_TITLE)
    assert window["style"] & (WS_THICKFRAME | WS_MAXIMIZEBOX) == 0
    left, top, right, bottom = window["rect"]
    assert right - left <= 700 and bottom - top <= 700
    buttons = remote.buttons()
    assert len(buttons) >= 40 and all(b["text"] for b in buttons.values())
    panel_left = remote.controls()[WRITTEN_LINES_ID]["rect"][0]
    assert all(left <= b["rect"][0] and b["rect"][2] < panel_left for b in buttons.values())
    tooltips = [w for w in probe.find("tooltips_class32") if w["owner"] == remote.hwnd]
    assert [probe.send(t["hwnd"], TTM_GETTOOLCOUNT) for t in tooltips] == [len(buttons)]

    for code, button in list(buttons.items())[:2]:
        probe.post(button["hwnd"], WM_MOUSEMOVE, 0, INSIDE)
        heading = "%s (code %d)" % (button["text"], code)
        wait_for(lambda: remote.controls()[KEY_HEADING_ID]["text"] == heading, message=heading)
        controls = remote.controls()
        lines = [controls[KEY_HEADING_ID + 1 + i]["text"].split(": ", 1) for i in range(len(MODE_NAMES))]
        assert [mode for mode, _ in lines] == list(MODE_NAMES) and all(does for _, does in lines)
    assert remote.lines() == []  # pointing writes nothing


def test_open_applications_follow_the_tv_applications_windows(remote, wine, bin_dir):
    def shown():
        return remote.controls()[APPLICATIONS_ID]["text"]

    def wait_shown(text):
        wait_for(lambda: shown() == text, message="applications %r (shown: %r)" % (text, shown()))

    def start(which):
        win_dir = r"C:\vremote apps\%s" % which
        fakeapp.install(wine.drive_c, bin_dir / fakeapp.EXE_NAME, which, win_dir)
        return wine.start([fakeapp.installed_paths(wine.drive_c, which, win_dir).exe])

    def names(running):  # in the order of the rows, whatever the order of the starts
        return ", ".join(APPS[which]["name"] for which in APPS if which in running) or \
            "none (pointer mode)"

    wait_shown(names([]))
    apps = {}
    for which in reversed(APPS):
        apps[which] = start(which)
        wait_shown(names(apps))
    for which in list(APPS)[::2] + list(APPS)[1::2]:
        proc = apps.pop(which)
        proc.kill()
        proc.wait()
        wait_shown(names(apps))


def test_without_a_feed_path_it_explains_its_use_and_exits_1(wine, probe, bin_dir):
    proc = wine.start([bin_dir / "VirtualRemote.exe"])
    box = probe.wait_for_window("#32770", WINDOW_TITLE)
    texts = [c["text"] for c in probe.dialog(box["hwnd"])["controls"]]
    assert any(t.startswith("Usage: VirtualRemote.exe FEEDPATH") for t in texts), texts
    assert not probe.find(WINDOW_CLASS, visible=True)
    probe.post(box["hwnd"], WM_COMMAND, 1)  # IDOK
    assert proc.wait(15) == 1
