"""Self-tests of the bench itself: the relay trace reader, sequence
assertions, prefixes cloned from the template, the registry helpers and the
module display. None of them needs the product."""

from __future__ import annotations

import os
import subprocess

import pytest

from winebench import cardemu
from winebench.trace import (ANY, RELAY_WINEDEBUG, Str, Trace, assert_sequence, parse_args,
                             relay_reg)
from winebench.wine import PREFIX_TOOL, RawReg, RegValue, reg_text, start_wine

pytestmark = pytest.mark.screen(800, 600)
OWN_PREFIX = True  # it looks at the prefix as cloned

# A product thread opens a dialog whose procedure sets a timer and ends the
# dialog; another thread and another process call too; relay's other lines
# are noise to skip.
CANNED = r"""
1.000:0100:0104:trace:relay:load_list L"RelayInclude" = L"user32.SetTimer"
1.001:0100:0104:Call PE DLL (proc=7BC69420,module=7BC00000 L"ntdll.dll",reason=PROCESS_ATTACH,res=0063FD24)
1.002:0100:0104:Call user32.DialogBoxParamA(00400000,00000014,00010020,00401500,00000000) ret=00401234
1.003:0100:0104:Call window proc 0x401500 (hwnd=0x10030,msg=WM_INITDIALOG,wp=00010032,lp=00000000)
1.004:0100:0104:Call user32.SetTimer(00010030,00000001,00000041,00000000) ret=00401510
1.005:0100:0104:Ret  user32.SetTimer() retval=00000001 ret=00401510
1.006:0100:0108:Call advapi32.RegSetValueExA(00000058,0040a07c "a,b) ret=0 \"q\"",00000000,00000001,0040a06e,0000000e) ret=00401659
1.007:0100:0104:Call user32.EndDialog(00010030,00000002) ret=00401520
1.008:0100:0104:Ret  user32.EndDialog() retval=00000001 ret=00401520
1.009:0100:0104:Ret  user32.DialogBoxParamA() retval=00000002 ret=00401234
1.010:0200:0204:Call user32.FindWindowA(0040a048 "Child",00000000) ret=004017dd
1.011:0100:0108:Ret  advapi32.RegSetValueExA() retval=00000000 ret=00401659
1.012:0100:0104:Call user32.FindWindowW(0040a08c L"W\"i\\de\00e9\20ac",0040a082 L"x") ret=00401680
1.013:0100:0104:Ret  user32.FindWindowW() retval=00000000 ret=00401680
1.014:0100:0104:Call user32.MessageBoxA(00000000,0040a000 "line1\nline2\ttab\\ \x80",0040b000 "aaaa"...,00000030) ret=00401700
"""


@pytest.fixture
def canned(tmp_path):
    path = tmp_path / "canned.trace"
    path.write_text(CANNED.lstrip())
    return Trace(path)


def test_trace_pairs_calls_nests_and_decodes_strings(canned):
    calls = canned.calls()
    assert [(c.func, c.tid, c.depth, c.ret) for c in calls] == [
        ("DialogBoxParamA", 0x104, 0, 2), ("SetTimer", 0x104, 1, 1),
        ("RegSetValueExA", 0x108, 0, 0), ("EndDialog", 0x104, 1, 1),
        ("FindWindowW", 0x104, 0, 0), ("MessageBoxA", 0x104, 0, None)]
    assert calls[1].args == [0x10030, 1, 65, 0] and calls[1].t == 1.004
    assert calls[0].t_ret == 1.009 and calls[0].dll == "user32" and calls[0].pid == 0x100

    name = calls[2].args[1]
    assert name == 'a,b) ret=0 "q"' and name.ptr == 0x40a07c and not name.wide
    assert calls[2].args[2:] == [0, 1, 0x40a06e, 14]
    wide = calls[4].args[0]
    assert wide == 'W"i\\de\u00e9\u20ac' and wide.wide
    text, cut = calls[5].args[1:3]
    assert text == "line1\nline2\ttab\\ \x80" and not text.truncated
    assert cut == "aaaa" and cut.truncated and calls[5].args[3] == 0x30

    # The process that called first is the product; pid=None keeps all.
    everyone = Trace(canned.path, pid=None)
    assert [c.pid for c in everyone.calls("FindWindowA")] == [0x200]
    assert canned.calls("FindWindowA") == [] and everyone.pids == [0x100, 0x200]
    assert [c.func for c in canned.calls(dll="USER32", since=3)] == [
        "EndDialog", "FindWindowW", "MessageBoxA"]


@pytest.mark.parametrize("prefix, pid, t", [("12.5:0100:0104:", 0x100, 12.5),
                                            ("0100:0104:", 0x100, None), ("0104:", None, None)])
def test_trace_reads_growing_file_in_every_prefix_format(tmp_path, prefix, pid, t):
    path = tmp_path / "grow.trace"
    trace = Trace(path)
    assert trace.calls() == []                      # not there yet
    call = prefix + "Call kernel32.WinExec(0040a000 \"C:\\\\x.exe\",00000001) ret=00401000\n"
    path.write_text(call[:30])                      # a line being written
    assert trace.calls() == []
    with open(path, "a") as f:
        f.write(call[30:])
    (found,) = trace.calls("WinExec")
    assert (found.pid, found.t, found.args, found.returned) == (pid, t, ["C:\\x.exe", 1], False)
    with open(path, "a") as f:
        f.write(prefix + "Ret  KERNEL32.WinExec() retval=00000021 ret=00401000\n")
    assert trace.wait_for_call("WinExec", lambda c: c.returned, timeout=2).ret == 33
    with pytest.raises(TimeoutError, match="SetTimer"):
        trace.wait_for_call("SetTimer", timeout=0.2)


def test_argument_list_errors_are_reported():
    assert parse_args("") == []
    assert parse_args("0040a000 (invalid),00000002") == [0x40a000, 2]
    with pytest.raises(ValueError):
        parse_args("0040a000 \"open")
    with pytest.raises(ValueError):
        parse_args("xyz")


def test_assert_sequence_matches_patterns_and_diffs_only_real_differences(canned):
    calls = canned.calls()
    assert_sequence(calls, [
        ("DialogBoxParamA", (ANY, 20, ...)),
        ("SetTimer", (ANY, 1, 65, 0)),
        ("EndDialog", (0x10030, lambda code: code == 2)),
        ("MessageBoxA", (0, "line1\nline2\ttab\\ \x80", ...))])
    assert_sequence(calls, ["SetTimer", ("RegSetValueExA", (88, 0x40a07c, ...))])

    with pytest.raises(AssertionError) as failure:
        assert_sequence(calls, [("SetTimer", (ANY, 1, 66, 0)), "KillTimer",
                                ("EndDialog", (ANY, 2))])
    message = str(failure.value)
    assert "3 expected, 2 actual" in message
    diff = [line for line in message.splitlines() if line[:1] in "+- " and line[:3] not in
            ("---", "+++")]
    assert diff == ["-SetTimer(*, 1, 66, 0)", "-KillTimer(*)", "+SetTimer(*, 1, 65, 0)",
                    " EndDialog(*, 2)"]


def test_clone_is_a_private_copy_of_the_template(wine):
    template = subprocess.run([str(PREFIX_TOOL), "template"], check=True, capture_output=True,
                              text=True).stdout.strip()
    dll = "drive_c/windows/system32/user32.dll"
    assert os.path.samefile(wine.prefix / dll, os.path.join(template, dll))
    for name in ("system.reg", "user.reg", "drive_c/windows/win.ini"):
        assert os.stat(wine.prefix / name).st_nlink == 1, name

    key = r"HKEY_CURRENT_USER\Software\Bench Test"
    wine.import_reg(reg_text(key, {"text": 'a "b" \\c', "n": 7, "bin": b"\x00\xff",
                                   "multi": RawReg("hex(7):61,00,00,00,62,00,00,00,00,00"),
                                   "caf\u00e9": "\u00e9t\u00e9", None: "default"}))
    short = r"HKCU\Software\Bench Test"
    assert wine.reg_query(short, "text") == RegValue("REG_SZ", 'a "b" \\c')
    assert wine.reg_query(short, "n") == RegValue("REG_DWORD", 7)
    assert wine.reg_query(short, "bin") == RegValue("REG_BINARY", b"\x00\xff")
    assert wine.reg_query(short, "multi") == ["a", "b"]
    assert wine.reg_query(short, "caf\u00e9") == "\u00e9t\u00e9"
    assert wine.reg_query(short, None) == "default"
    assert wine.reg_query(short, "absent") is None
    wine.kill()  # the server writes the registry out when it ends
    assert "Bench Test" in (wine.prefix / "user.reg").read_text(errors="replace")
    assert "Bench Test" not in open(os.path.join(template, "user.reg"), errors="replace").read()
    wine.boot()


def test_windows_paths_with_spaces_reach_wine_programs(wine):
    folder = wine.drive_c / "Program Files" / "A Vendor" / "A Program"
    folder.mkdir(parents=True)
    (folder / "note.txt").write_text("seen from Wine\r\n")
    win = wine.to_win(folder / "note.txt")
    assert win == r"C:\Program Files\A Vendor\A Program\note.txt"
    assert wine.to_unix(win) == folder / "note.txt"
    result = wine.run(["cmd", "/c", "type", win], timeout=30)
    assert (result.returncode, result.stdout.strip()) == (0, "seen from Wine")
    assert wine.run(["cmd", "/c", "exit", "7"]).returncode == 7


def test_a_start_that_wine_gives_up_is_made_again(wine, tmp_path):
    # A loader that fails as 64-bit Wine does on a busy machine, twice, then
    # starts the program; what the failed starts wrote to stderr is taken back.
    count = tmp_path / "starts"
    loader = tmp_path / "flaky-wine"
    loader.write_text('#!/bin/sh\necho x >> "%s"\n[ $(wc -l < "%s") -gt 2 ] && exec "$@"\n'
                      'echo "wine: failed to map the shared user data: c0000018" >&2\nexit 1\n'
                      % (count, count))
    loader.chmod(0o755)
    with open(tmp_path / "stderr", "w+b") as err:
        err.write(b"before\n")
        err.flush()
        proc = start_wine([loader, wine._argv([])[0], "cmd", "/c", "exit", "7"], wine.env,
                          stderr=err)
        assert proc.wait(60) == 7
        assert (tmp_path / "stderr").read_bytes() == b"before\n"
    assert count.read_text().count("x") == 3
    # A program that ends with 1 by itself is started once.
    count.write_text("x\nx\n")
    assert start_wine([loader, wine._argv([])[0], "cmd", "/c", "exit", "1"], wine.env).wait(60) == 1
    assert count.read_text().count("x") == 3


def test_an_import_that_regedit_gives_up_is_made_again(wine, monkeypatch):
    # regedit ends with 1 and says nothing, twice, as it now and then does on
    # a busy machine; the third import is made and the value is there.
    real_run, failures = wine.run, []

    def flaky_run(argv, *args, **kwargs):
        if argv[0] == "regedit" and len(failures) < 2:
            failures.append(argv)
            return subprocess.CompletedProcess(argv, 1, "", "")
        return real_run(argv, *args, **kwargs)

    monkeypatch.setattr(wine, "run", flaky_run)
    wine.import_reg('[HKEY_CURRENT_USER\\Software\\Marlow Tests]\r\n"Imported"=dword:00000007\r\n')
    assert len(failures) == 2
    assert wine.reg_query(r"HKEY_CURRENT_USER\Software\Marlow Tests", "Imported") is not None


def test_the_cards_clock_is_this_machines_raw_monotonic_clock(bench):
    # Taps of one key are spaced by it (cardemu.wait_until_a_new_press).
    before = cardemu.now_us()
    card_time = bench.probe.time_us()
    assert before <= card_time <= cardemu.now_us()


@pytest.mark.parametrize("module, calls", [("reg.exe", 1), ("cmd.exe", 0)])
def test_relay_keeps_only_calls_made_from_the_named_module(wine, tmp_path, module, calls):
    # cmd.exe starts reg.exe, which inherits the relay like a TV application
    # started by the product would.
    wine.import_reg(relay_reg(["advapi32.RegSetValueExW"], from_modules=[module]))
    path = tmp_path / "reg.trace"
    with open(path, "wb") as err:
        proc = wine.start(["cmd", "/c", "reg", "add", r"HKCU\Software\Bench Trace", "/v",
                           "bench value", "/d", "x", "/f"],
                          env_extra={"WINEDEBUG": RELAY_WINEDEBUG}, stderr=err)
        assert proc.wait(60) == 0
    found = Trace(path, pid=None).calls("RegSetValueExW")
    assert [(c.args[1], type(c.args[1]), c.ret) for c in found] == [("bench value", Str, 0)] * calls


def test_module_display_has_the_requested_size(xvfb):
    info = subprocess.run(["xdpyinfo", "-display", xvfb.display], capture_output=True, text=True,
                          check=True).stdout
    assert "dimensions:    800x600 pixels" in info
