"""FakeTvApp.exe under Wine: identities, settings, logging and close commands."""

from __future__ import annotations

import pytest

from winebench import fakeapp
from winebench.fakeapp import (events, exit_code, ll_keys, ll_mice, messages, read_log,
                               wait_for_log)
from winebench.probe import MOUSEEVENTF_ABSOLUTE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, \
    MOUSEEVENTF_MOVE
from winebench.surface import APPS
from winebench.wine import wait_for

LLKHF_INJECTED = 0x10
LLMHF_INJECTED = 0x1
WM_APPCOMMAND = 0x0319


def test_install_maps_directory_and_writes_cfg_and_registry(tmp_path):
    drive_c, fake = tmp_path / "drive_c", tmp_path / "FakeTvApp.exe"
    fake.write_bytes(b"MZ fake")
    win_dir = r"C:\Program Files\Two Words\App"
    reg = fakeapp.install(drive_c, fake, "beyondtv", win_dir, {
        "window": [("SomeClass", "Some title"), "Other|Title"], "delay": 500,
        "ignore_close": True, "close_window_after": (100, 1)})
    paths = fakeapp.installed_paths(drive_c, "beyondtv", win_dir)
    install = APPS["beyondtv"]["install"]
    assert paths.exe == drive_c / "Program Files" / "Two Words" / "App" / install["executable"]
    assert paths.exe.read_bytes() == b"MZ fake"
    assert paths.cfg.is_file()  # what it says is read by the program, below
    assert reg == ('REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n"%s"='
                   '"C:\\\\Program Files\\\\Two Words\\\\App"\r\n\r\n'
                   % (install["key"], install["value"]))

    fakeapp.install(drive_c, fake, "beyondtv", win_dir)
    assert not paths.cfg.exists()
    with pytest.raises(ValueError):
        fakeapp.install(drive_c, fake, "windvr", r"D:\App")


def _started(paths, launcher, *args):
    proc = launcher.start(paths.exe, *args)
    log = wait_for_log(paths.log, lambda log: events(log, "exit") or
                       len(events(log, "window")) >= 1)
    return proc, log


@pytest.mark.parametrize("identity", sorted(fakeapp.IDENTITIES))
def test_identity_from_file_name_shows_its_windows(identity, install, launcher, probe):
    paths = install(identity)
    launcher.start(paths.exe)  # no arguments, as the product starts it
    expected = fakeapp.IDENTITIES[identity].windows
    log = wait_for_log(paths.log, lambda log: len(events(log, "window")) == len(expected))
    start = events(log, "start")[0]
    assert (start["identity"], start["args"]) == (identity, [])
    created = {(e["class"], e["title"]): e["hwnd"] for e in events(log, "window")}
    assert list(created) == list(expected)
    for purpose, wanted in APPS[identity]["windows"].items():
        assert any(fakeapp.answers(window, wanted) for window in created), purpose

    rects = []
    for cls, title in expected:
        window = probe.wait_for_window(cls, title)
        assert (window["hwnd"], window["pid"]) == (created[cls, title], start["pid"])
        rects.append(window["rect"])
    for i, (l1, t1, r1, b1) in enumerate(rects):
        for l2, t2, r2, b2 in rects[:i]:
            assert r1 <= l2 or r2 <= l1 or b1 <= t2 or b2 <= t1, "windows overlap: %r" % rects


def test_posted_messages_are_logged_with_exact_parameters(install, launcher, probe):
    paths = install("quillmarsh")
    _started(paths, launcher)
    cls, title = fakeapp.identity("quillmarsh").windows[0]
    hwnd = probe.wait_for_window(cls, title)["hwnd"]
    sent = [("WM_KEYDOWN", fakeapp.WM_KEYDOWN, 0x70, 0x003B0001),
            ("WM_KEYUP", fakeapp.WM_KEYUP, 0x70, 0xC03B0001),
            ("WM_CHAR", fakeapp.WM_CHAR, 0x41, 0x001E0001),
            ("MSG1234", 1234, 0xFFFFFFFF, 0x80000000)]
    for _, msg, wparam, lparam in sent:
        probe.post(hwnd, msg, wparam, lparam)
    names = {name for name, *_ in sent}
    log = wait_for_log(paths.log, lambda log: len([m for m in messages(log, hwnd=hwnd)
                                                   if m["msg"] in names]) == len(sent))
    got = [(m["msg"], m["wParam"], m["lParam"]) for m in messages(log, hwnd=hwnd) if m["msg"] in names]
    assert got == [(name, wparam, lparam) for name, _, wparam, lparam in sent]
    assert all(m["title"] == title for m in messages(log, hwnd=hwnd))


def _close_commands(identity: str):
    """How to send the application's close, first in a form it must ignore
    (another command in its message, or its chord without the first key),
    then as it is; and what marks each of the two in its log."""
    ident = fakeapp.identity(identity)
    keys, command = ident.close["keys"], ident.close["command"]
    if ident.close["kind"] == "command":
        def send(probe, hwnd):
            probe.post(hwnd, ident.command_message, command + 1, 0)
            probe.post(hwnd, ident.command_message, command, 0)
        return send, lambda e: e["ev"] == "msg" and e["msg"] == "MSG%d" % ident.command_message

    def send(probe, hwnd):
        probe.keys(keys[1:])
        probe.keys(keys)
    return send, lambda e: e["ev"] == "ll_key" and e["vk"] == keys[-1] and e["down"]


@pytest.mark.parametrize("identity", sorted(fakeapp.IDENTITIES))
def test_close_command_from_another_process(identity, install, launcher, probe):
    paths = install(identity)
    proc, _ = _started(paths, launcher)
    cls, title = fakeapp.IDENTITIES[identity].windows[-1]
    hwnd = probe.wait_for_window(cls, title)["hwnd"]

    send_commands, is_command = _close_commands(identity)
    send_commands(probe, hwnd)
    assert proc.wait(timeout=15) == 0
    log = read_log(paths.log)
    # The first command is ignored; the exit follows the second at once, not
    # through a WM_CLOSE from the system (Alt+F4 reaching the focused window).
    marks = ["command" if is_command(e) else e["ev"] for e in log if is_command(e) or e["ev"] == "exit"]
    assert marks == ["command", "command", "exit"]
    assert not messages(log, msg="WM_CLOSE")
    assert exit_code(log) == 0
    assert all(e["injected"] and e["flags"] & LLKHF_INJECTED for e in ll_keys(log))
    probe.wait_for_no_window(cls, title)


def test_ignore_close_only_logs(install, launcher, probe):
    identity = next(i for i in fakeapp.IDENTITIES if fakeapp.identity(i).close["kind"] == "command")
    paths = install(identity, {"ignore_close": True})
    proc, _ = _started(paths, launcher)
    cls, title = fakeapp.identity(identity).windows[-1]
    hwnd = probe.wait_for_window(cls, title)["hwnd"]
    assert probe.send(hwnd, fakeapp.WM_CLOSE) == 0
    send_close, is_command = _close_commands(identity)
    send_close(probe, hwnd)
    log = wait_for_log(paths.log, lambda log: len([e for e in log if is_command(e)]) == 2)
    assert messages(log, msg="WM_CLOSE", hwnd=hwnd)
    assert proc.poll() is None and exit_code(log) is None
    assert probe.find(cls, title)


def test_cfg_settings_and_command_line_override(install, launcher, probe):
    paths = install("windvr", {"window": ["CfgClass|From cfg", ("CfgClass", "Second")],
                               "delay": 700, "exit_after": 2500})
    assert launcher.start(paths.exe, "--exit_after", "1500").wait(timeout=20) == 0
    assert [(w["class"], w["title"]) for w in events(read_log(paths.log), "window")] == [
        ("CfgClass", "From cfg"), ("CfgClass", "Second")]

    paths.log.unlink()
    proc = launcher.start(paths.exe, "--window", "ArgClass|From args one", "--window=ArgClass|Two")
    assert proc.wait(timeout=20) == 0
    log = read_log(paths.log)
    start, exit_ = events(log, "start")[0], events(log, "exit")[0]
    windows = events(log, "window")
    assert [(w["class"], w["title"]) for w in windows] == [("ArgClass", "From args one"),
                                                         ("ArgClass", "Two")]
    assert windows[0]["t_us"] - start["t_us"] >= 700_000
    assert exit_["t_us"] - start["t_us"] >= 2_500_000
    assert start["args"] == ["--window", "ArgClass|From args one", "--window=ArgClass|Two"]


def test_close_window_after_keeps_the_other_window(install, launcher, probe):
    kept, closed = fakeapp.identity("beyondtv").windows
    paths = install("beyondtv", {"close_window_after": "300:1"})
    proc, _ = _started(paths, launcher)
    log = wait_for_log(paths.log, lambda log: events(log, "destroy"))
    assert [(e["class"], e["title"]) for e in events(log, "destroy")] == [closed]
    probe.wait_for_no_window(closed[0])
    assert probe.find(*kept, visible=True)
    assert proc.poll() is None


def test_identity_and_log_from_command_line(bin_dir, launcher, tmp_path):
    log_path = tmp_path / "plain.log"
    proc = launcher.start(bin_dir / fakeapp.EXE_NAME, "--identity", "beyondtv", "--exit_after", "0",
                          "--log", "Z:" + str(log_path).replace("/", "\\"))
    assert proc.wait(timeout=20) == 0
    log = read_log(log_path)
    assert events(log, "start")[0]["identity"] == "beyondtv"
    assert [(w["class"], w["title"]) for w in events(log, "window")] == \
        list(fakeapp.IDENTITIES["beyondtv"].windows)
    assert log[-1]["ev"] == "exit" and exit_code(log) == 0


def test_bad_setting_exits_with_code_2(install, launcher):
    paths = install("windvr", {"delay": "soon"})
    proc = launcher.start(paths.exe, "--bogus", "1")
    assert proc.wait(timeout=20) == 2
    log = read_log(paths.log)
    errors = [e["message"] for e in events(log, "error")]
    assert len(errors) == 2 and "delay" in errors[0] and "bogus" in errors[1]
    assert exit_code(log) == 2 and not events(log, "window")


def test_a_player_in_front_sees_typed_keys_in_order_and_its_app_commands(install, launcher, probe,
                                                                        drive_c, bin_dir):
    assert fakeapp.install(drive_c, bin_dir / fakeapp.EXE_NAME, "vlc.exe", r"C:\Players\VLC") == ""
    paths = install("vlc.exe")
    _started(paths, launcher)
    (cls, title), = fakeapp.identity("vlc.exe").windows
    hwnd = fakeapp.hwnd_value(probe.wait_for_window(cls, title)["hwnd"])
    assert fakeapp.hwnd_value(probe.front(hwnd)["hwnd"]) == hwnd
    assert fakeapp.hwnd_value(probe.foreground()["hwnd"]) == hwnd
    ctrl, right, appcommand_volume_up = 0x11, 0x27, 10
    probe.type([ctrl, right])
    probe.send(hwnd, WM_APPCOMMAND, hwnd, appcommand_volume_up << 16)
    # A sent message overtakes the typed keys still in the player's queue:
    # wait for all three.
    log = wait_for_log(paths.log, lambda log: messages(log, "WM_APPCOMMAND") and len(
        messages(log, "WM_KEYDOWN", hwnd=hwnd)) >= 2)
    assert [(e["vk"], e["down"], e["injected"]) for e in ll_keys(log)] == [
        (ctrl, True, True), (right, True, True), (right, False, True), (ctrl, False, True)]
    assert [m["wParam"] for m in messages(log, "WM_KEYDOWN", hwnd=hwnd)] == [ctrl, right]
    assert [m["lParam"] >> 16 for m in messages(log, "WM_APPCOMMAND", hwnd=hwnd)] == [
        appcommand_volume_up]


def test_low_level_mouse_hook_sees_other_process_input(install, launcher, probe):
    paths = install("windvr")
    _started(paths, launcher)
    width, height = probe.metrics()["SM_CXSCREEN"], probe.metrics()["SM_CYSCREEN"]
    probe.mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0x8000, 0x4000)
    probe.mouse(MOUSEEVENTF_LEFTDOWN)
    probe.mouse(MOUSEEVENTF_LEFTUP)
    log = wait_for_log(paths.log, lambda log: ll_mice(log, "WM_LBUTTONUP"))
    move = ll_mice(log, "WM_MOUSEMOVE")[-1]
    assert (move["x"], move["y"]) == (width // 2, height // 4)
    down, up = ll_mice(log, "WM_LBUTTONDOWN")[-1], ll_mice(log, "WM_LBUTTONUP")[-1]
    assert (down["x"], down["y"]) == (up["x"], up["y"]) == (move["x"], move["y"])
    assert all(e["flags"] & LLMHF_INJECTED for e in (move, down, up))


def test_log_reader_leaves_out_a_line_still_being_written(tmp_path):
    log = tmp_path / "partial.log"
    log.write_bytes(b'{"ev":"msg","hwnd":"0x1"}\n{"ev":"ms')
    assert read_log(log) == [{"ev": "msg", "hwnd": "0x1"}]
    assert read_log(tmp_path / "missing.log") == []


def test_an_edit_takes_the_focus_and_a_child_sits_in_another_programs_window(install, launcher,
                                                                           probe):
    frame = install("frame.exe", {"window": ("FakeFrame", "Frame"), "edit": "some text"})
    _started(frame, launcher)
    hwnd = probe.wait_for_window("FakeFrame", "Frame")["hwnd"]
    probe.front(hwnd)
    probe.type([0x41])  # A

    def edits():
        return [c["text"] for c in probe.dialog(hwnd)["controls"] if c["class"].lower() == "edit"]
    assert wait_for(lambda: edits() if edits() != ["some text"] else None, 10) in (
        ["asome text"], ["some texta"])
    core = install("core.exe", {"window": ("FakeCore", "Core"), "parent": "FakeFrame"})
    _, log = _started(core, launcher)
    child, = events(log, "window")
    assert [c["class"] for c in probe.dialog(hwnd)["controls"] if c["hwnd"] == child["hwnd"]] == [
        "FakeCore"]
    assert probe.dialog(child["hwnd"])["pid"] == events(log, "start")[0]["pid"]
    orphan = install("orphan.exe", {"window": ("FakeOrphan", "Orphan"), "parent": "NoSuchClass"})
    _, log = _started(orphan, launcher)
    assert "error" in events(log, "window")[0] and not probe.find("FakeOrphan")
