"""MarlowRemoteSetup.exe and the uninstaller it writes, run silently: where
the program goes, how it starts with Windows and from the Start menu and is
listed for removal, its settings created where missing and never changed, a
running copy asked to quit before its file is replaced or removed, and what a
removal leaves.

The uninstaller is run in place ("Uninstall.exe /S _?=<folder>"), which
returns when it is done but cannot delete its own file: the caller removes
Uninstall.exe and the folder afterwards. Run plainly, it copies itself to
%TEMP%, starts the copy and returns at once; the copy removes everything.
"""

from __future__ import annotations

import shutil

from remote_steps import INITIAL_SELECTOR, of_32bit_product, selector
from winebench.probe import ProbeError
from winebench.scenario import IDM_QUIT_FROM_OUTSIDE, MAIN_WINDOW_CLASS, PRODUCT_EXE, WM_COMMAND
from winebench.trace import ANY, NIM_ADD, NIM_DELETE, assert_sequence
from winebench.wine import RegValue, wait_for

pytestmark = of_32bit_product("the installer packs and installs the 32-bit program only")
OWN_PREFIX = True  # it installs the program and lists it in the registry

SETUP_EXE = "MarlowRemoteSetup.exe"
UNINSTALLER = "Uninstall.exe"
PRODUCT_NAME = "Marlow Remote Control"
OTHER_DIR = r"C:\Apps\MarlowRemote"  # without a space: /D= takes no quotes
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\MarlowRemoteControl"
VERSION = "3.1.0.0"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Marlow Remote Control.lnk"
ABORTED_BY_SCRIPT = 2
WINDVR = selector("windvr")  # a default the user chose
IDOK = 1  # the wizard's Next / Install / Finish button
TIMEOUT = 60.0


def default_dir(bench) -> str:
    """Where the installer puts the program by default: Program Files, which
    a 32-bit installer finds as Program Files (x86) on 64-bit Windows."""
    folder = r"C:\Program Files (x86)" if bench.wine.wow64 else r"C:\Program Files"
    return folder + "\\" + PRODUCT_NAME


def install(bench, *args: str) -> int:
    """Runs the installer silently to its end; returns its exit code."""
    return bench.wine.run([bench.binary(SETUP_EXE), "/S", *args], timeout=TIMEOUT).returncode


def run_command_line(bench, command_line: str) -> int:
    """Runs a command line exactly as written, through a batch file, and
    returns its exit code. wine would quote an argument with spaces, and the
    uninstaller does not take "_?=" quoted."""
    batch = bench.work / "command.bat"
    batch.write_text("@%s\r\n@exit /b %%errorlevel%%\r\n" % command_line)
    return bench.wine.run(["cmd", "/c", bench.wine.to_win(batch)], timeout=TIMEOUT).returncode


def uninstall_in_place(bench, folder: str, target: str = "") -> int:
    """Runs folder's uninstaller in place on `target` (default: folder)."""
    return run_command_line(bench, '"%s\\%s" /S _?=%s' % (folder, UNINSTALLER, target or folder))


def run_entry(bench):
    return bench.wine.reg_query(RUN_KEY, PRODUCT_NAME)


def listing(bench, name: str):
    return bench.wine.reg_query(UNINSTALL_KEY, name)


def settings(bench) -> dict:
    return {name: bench.setting(name) for name in ("DefaultTVAPP", "AlwaysRemoteOff", "MediaKeys")}


def dword(value: int) -> RegValue:
    return RegValue("REG_DWORD", value)


def created(**instead: RegValue) -> dict:
    """The settings an install creates where there are none; `instead` those found."""
    return {"DefaultTVAPP": dword(INITIAL_SELECTOR), "AlwaysRemoteOff": dword(0),
            "MediaKeys": dword(0), **instead}


def start_installed(bench, folder: str):
    bench.register_cards()
    return bench.start(exe=bench.wine.to_unix(folder) / PRODUCT_EXE)


def assert_asked_to_quit(bench, product) -> None:
    """The setup program returned only after the main window was gone, and
    the product ended its own way: icon removed, message loop left, code 0."""
    assert bench.probe.find(cls=MAIN_WINDOW_CLASS) == []
    assert product.wait_exit(10) == 0
    assert_sequence(product.trace.calls(), [("Shell_NotifyIconA", (NIM_ADD, ANY)),
                                            ("Shell_NotifyIconA", (NIM_DELETE, ANY)),
                                            ("PostQuitMessage", (0,))])


def wizard_page(bench, wizard: str, button: str, shown: str) -> list:
    """Waits until the wizard's page shows `button` and a control with the
    text `shown` (the page is then complete); returns its visible controls."""
    def page():
        try:
            controls = [c for c in bench.probe.dialog(wizard)["controls"] if c["visible"]]
        except ProbeError:  # a page being replaced
            return None
        texts = {c["text"] for c in controls}
        return controls if {button, shown} <= texts else None
    return wait_for(page, TIMEOUT, message="wizard page with %r and %r" % (button, shown))


def test_silent_install_places_the_program_registers_it_and_creates_the_settings(bench):
    assert install(bench) == 0
    folder = bench.wine.to_unix(default_dir(bench))
    assert sorted(p.name for p in folder.iterdir()) == [PRODUCT_EXE, UNINSTALLER]
    built = bench.binary(PRODUCT_EXE).read_bytes()
    assert (folder / PRODUCT_EXE).read_bytes() == built

    exe = "%s\\%s" % (default_dir(bench), PRODUCT_EXE)
    uninstaller = '"%s\\%s"' % (default_dir(bench), UNINSTALLER)
    assert run_entry(bench) == RegValue("REG_SZ", '"%s"' % exe)
    expected = {
        "DisplayName": RegValue("REG_SZ", PRODUCT_NAME),
        "UninstallString": RegValue("REG_SZ", uninstaller),
        "QuietUninstallString": RegValue("REG_SZ", uninstaller + " /S"),
        "InstallLocation": RegValue("REG_SZ", default_dir(bench)),
        "DisplayIcon": RegValue("REG_SZ", exe),
        "DisplayVersion": RegValue("REG_SZ", VERSION),
        "Publisher": RegValue("REG_SZ", "Marlow Remote Control developers"),
        "NoModify": dword(1),
        "NoRepair": dword(1),
    }
    assert {name: listing(bench, name) for name in expected} == expected
    size = listing(bench, "EstimatedSize")
    assert size.type == "REG_DWORD" and len(built) // 1024 <= size.data < 1024

    assert settings(bench) == created()
    assert b"MarlowRemote.exe" in bench.wine.to_unix(SHORTCUT).read_bytes()


def test_a_reinstall_keeps_every_existing_setting_whatever_its_type(bench):
    assert install(bench) == 0
    cases = [
        ({"DefaultTVAPP": WINDVR, "AlwaysRemoteOff": None, "MediaKeys": 1},
         created(DefaultTVAPP=dword(WINDVR), MediaKeys=dword(1))),
        ({"DefaultTVAPP": None, "AlwaysRemoteOff": 1, "MediaKeys": None},
         created(AlwaysRemoteOff=dword(1))),
        # Data the program would not read as a number is still left alone.
        ({"DefaultTVAPP": str(WINDVR), "AlwaysRemoteOff": b"\x01", "MediaKeys": "1"},
         {"DefaultTVAPP": RegValue("REG_SZ", str(WINDVR)),
          "AlwaysRemoteOff": RegValue("REG_BINARY", b"\x01"),
          "MediaKeys": RegValue("REG_SZ", "1")}),
    ]
    for written, expected in cases:
        bench.set_settings(**written)
        assert install(bench) == 0
        assert settings(bench) == expected, "settings before: %r" % written


def test_the_installed_program_runs_and_a_reinstall_asks_it_to_quit_first(bench):
    assert install(bench) == 0
    exe = bench.wine.to_unix(default_dir(bench)) / PRODUCT_EXE
    with open(exe, "ab") as older:  # tells a replaced file from one left as it was
        older.write(b"older build")
    product = start_installed(bench, default_dir(bench))

    assert install(bench) == 0
    assert_asked_to_quit(bench, product)
    assert exe.read_bytes() == bench.binary(PRODUCT_EXE).read_bytes()


def test_uninstall_in_place_ends_the_program_and_leaves_the_settings_and_foreign_files(bench):
    assert install(bench) == 0
    bench.set_settings(DefaultTVAPP=WINDVR)
    folder = bench.wine.to_unix(default_dir(bench))
    (folder / "notes.txt").write_text("not the program's")
    product = start_installed(bench, default_dir(bench))

    # Pointed at a folder without the program, it changes nothing.
    assert uninstall_in_place(bench, default_dir(bench), r"C:\Nowhere") == ABORTED_BY_SCRIPT
    assert product.running() and run_entry(bench) is not None
    assert listing(bench, "InstallLocation") == default_dir(bench)

    assert uninstall_in_place(bench, default_dir(bench)) == 0
    assert_asked_to_quit(bench, product)
    assert sorted(p.name for p in folder.iterdir()) == [UNINSTALLER, "notes.txt"]
    assert run_entry(bench) is None and not bench.wine.to_unix(SHORTCUT).exists()
    assert not bench.wine.reg_key_exists(UNINSTALL_KEY)
    assert settings(bench) == created(DefaultTVAPP=dword(WINDVR))
    shutil.rmtree(folder)  # the caller's part of an in-place removal


def test_a_reinstall_stays_in_the_chosen_folder_and_a_plain_uninstall_removes_it(bench):
    assert install(bench, "/D=" + OTHER_DIR) == 0
    assert install(bench) == 0  # no folder given: the recorded one
    assert run_entry(bench) == RegValue("REG_SZ", '"%s\\%s"' % (OTHER_DIR, PRODUCT_EXE))
    assert listing(bench, "InstallLocation") == OTHER_DIR

    # As the list of installed programs runs it: returns at once, its copy
    # in %TEMP% does the work.
    assert run_command_line(bench, listing(bench, "QuietUninstallString").data) == 0
    folder = bench.wine.to_unix(OTHER_DIR)
    wait_for(lambda: not folder.exists() and not bench.wine.reg_key_exists(UNINSTALL_KEY),
             TIMEOUT, interval=0.2, message="%s and its listing removed" % OTHER_DIR)
    assert run_entry(bench) is None
    assert settings(bench) == created()


def test_the_wizard_offers_the_usual_folder_and_its_finish_page_starts_the_program(bench):
    setup = bench.wine.start([bench.binary(SETUP_EXE)])
    wizard = bench.probe.wait_for_window(title=PRODUCT_NAME + " Setup", timeout=TIMEOUT)["hwnd"]
    start_now = "Start %s now" % PRODUCT_NAME
    for button, shown in (("&Next >", "Welcome to %s Setup" % PRODUCT_NAME),
                          ("&Install", default_dir(bench)), ("&Finish", start_now)):
        page = wizard_page(bench, wizard, button, shown)
        bench.probe.post(wizard, WM_COMMAND, IDOK, 0)
    assert [c.get("checked") for c in page if c["text"] == start_now] == [1]
    assert setup.wait(TIMEOUT) == 0

    program = bench.probe.wait_for_window(cls=MAIN_WINDOW_CLASS, visible=None, timeout=TIMEOUT)
    bench.probe.post(program["hwnd"], WM_COMMAND, IDM_QUIT_FROM_OUTSIDE, 0)
    bench.probe.wait_for_no_window(cls=MAIN_WINDOW_CLASS, timeout=TIMEOUT)
