"""A guided tour of the program: on a virtual display, a scripted session
with the emulated card, the three fake TV applications and the virtual
remote, with a screenshot of the screen after every step.

    python3 -m winebench.tour [--out DIR] [--bin DIR] [--keep]

Each step acts the way a user would (a button of the virtual remote, the
tray icon, a dialog) and then checks that the program did what it should; the
tour stops at the first step that did not, and exits 1. A step whose picture
must catch something brief (the key display) checks that it still shows once
the picture is taken, else shows it again for another picture. The
screenshots are DIR/NN-name.png; a failed step leaves DIR/NN-name-failed.png.
"""

from __future__ import annotations

import argparse
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, List, Optional, Sequence, Tuple

from PIL import Image

from . import cardemu, fakeapp
from .surface import APPS, KEYS, SURFACE, profile_of, profile_rows
from .scenario import (KEY_DISPLAY_CLASS, MAIN_WINDOW_CLASS, REMOTE_EXE, Bench, Product,
                       default_bin_dir)
from .ui import (ABOUT_CAPTION, BM_CLICK, IDM_ABOUT, IDM_EXIT, IDM_SETTINGS, IDOK, MK_LBUTTON,
                 POPUP_MENU_CLASS, SETTINGS_CAPTION, SHUTDOWN_CAPTION, TRAY_MESSAGE, VK_ESCAPE,
                 WM_COMMAND, WM_KEYDOWN, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE)
from .wine import REPO_ROOT, WineEnv, Xvfb, reg_text, wait_for

SCREEN = (1600, 900)
REMOTE_CLASS = "MarlowVirtualRemote"
BUTTON_ID_BASE = 1000
OPEN_APPS_ID = 2001
KEY_HEADING_ID = 2010

VK_NUMPAD5, VK_UP, VK_RETURN = 0x65, 0x26, 0x0D

# Remote key codes the tour presses.
DIGIT_1, DIGIT_5, RIGHT, POWER, MUTE, OK_KEY, VOL_DOWN, CH_UP, PLAY = (
    KEYS[label] for label in ("1", "5", "7", "Power", "Mute", "OK", "Vol-", "Ch+", "Play"))
VLC = profile_of("vlc.exe")
# A program that takes the remote's keys through the key server, as WinLIRC's
# clients do; its window shows the lines it gets.
LIRC_CLIENT = "lircclient.exe"
LIRC_CLIENT_WINDOW = ("LircClient", "A WinLIRC client")
PICTURE_ATTEMPTS = 3

BEYOND_TV_VIDEO = APPS["beyondtv"]["windows"]["key_target"]["class"]
QUILLMARSH_PANEL = APPS["quillmarsh"]["windows"]["key_target"]["class"]

# Wine's virtual desktop named "shell" has a taskbar with the notification area.
DESKTOP_REG = (reg_text(r"HKEY_CURRENT_USER\Software\Wine\Explorer", {"Desktop": "shell"})
               + reg_text(r"HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops",
                          {"shell": "%dx%d" % SCREEN}))


class StepFailed(AssertionError):
    """A step did not show what it should."""


def check(condition: bool, message: str) -> None:
    if not condition:
        raise StepFailed(message)


def waited(predicate: Callable[[], object], message: str, timeout: float = 20.0):
    try:
        return wait_for(predicate, timeout, message=message)
    except TimeoutError as error:
        raise StepFailed(str(error)) from None


Rect = Tuple[int, int, int, int]  # left, top, right, bottom


@dataclass
class Step:
    name: str
    caption: str  # what the screenshot shows
    act: Callable[["Tour"], None]
    # The part of the screen worth a picture of its own (NN-name-detail.png).
    detail: Optional[Callable[["Tour"], Rect]] = None
    # What the picture must still show once taken, and how to show it again.
    shows: Optional[Callable[["Tour"], bool]] = None
    again: Optional[Callable[["Tour"], None]] = None


class Tour:
    """The bench of one tour: the program, its card, the applications and the
    virtual remote, all in one prefix on one display."""

    def __init__(self, bench: Bench, xvfb: Xvfb, out: Path):
        self.bench = bench
        self.xvfb = xvfb
        self.out = out
        self.probe = bench.probe
        self.product: Optional[Product] = None
        self.card = bench.register_cards()[0]
        self.apps = bench.install_apps()
        self.remote_proc: Optional[subprocess.Popen] = None
        self.remote = 0
        self.buttons = {}
        self.vlc = 0  # the fake VLC's window
        self.key_display: Optional[Rect] = None  # where it showed at the last look

    # -- the program and the remote ----------------------------------------------
    def main_window(self) -> int:
        return fakeapp.hwnd_value(self.probe.find(cls=MAIN_WINDOW_CLASS)[0]["hwnd"])

    def start_remote(self) -> None:
        exe = self.bench.binary(REMOTE_EXE)
        self.remote_proc = self.bench.wine.start([exe, self.bench.wine.to_win(self.card.feed.path)])
        window = self.probe.wait_for_window(cls=REMOTE_CLASS, timeout=20)
        self.remote = fakeapp.hwnd_value(window["hwnd"])
        for control in self.probe.dialog(self.remote)["controls"]:
            if control["id"] >= BUTTON_ID_BASE and control["class"].lower() == "button":
                self.buttons[control["id"] - BUTTON_ID_BASE] = fakeapp.hwnd_value(control["hwnd"])

    def remote_text(self, control_id: int) -> str:
        for control in self.probe.dialog(self.remote)["controls"]:
            if control["id"] == control_id:
                return control["text"]
        return ""

    def open_apps_text(self) -> str:
        return self.remote_text(OPEN_APPS_ID)

    def click(self, code: int) -> None:
        """Clicks the remote's button for code and waits until the program
        has handled the key."""
        cardemu.wait_until_a_new_press(self.card.log_path, code)
        start = len(self.card.log())
        self.probe.send(self.buttons[code], BM_CLICK)
        waited(lambda: cardemu.handled(self.card.log(), start, 1),
               "the program did not read code %d" % code)

    def hold(self, code: int, until: Callable[[], bool], timeout: float = 20.0) -> None:
        """Keeps the remote's button for code pressed until `until` holds."""
        cardemu.wait_until_a_new_press(self.card.log_path, code)
        button = self.buttons[code]
        self.probe.post(button, WM_LBUTTONDOWN, MK_LBUTTON, 0x00080008)
        try:
            waited(until, "holding code %d did not do it" % code, timeout)
        finally:
            self.probe.post(button, WM_LBUTTONUP, 0, 0x00080008)

    # -- applications --------------------------------------------------------------
    def app_log(self, identity: str) -> list:
        return fakeapp.read_log(self.apps[identity].log)

    def key_downs(self, identity: str) -> List[int]:
        return [e["wParam"] for e in fakeapp.messages(self.app_log(identity), "WM_KEYDOWN")]

    def commands(self, identity: str) -> List[int]:
        return [e["wParam"] for e in fakeapp.messages(
            self.app_log(identity), "MSG%d" % APPS[identity]["command_message"])]

    def window(self, cls: str) -> bool:
        return bool(self.probe.find(cls=cls))

    def dialog(self, caption: str) -> int:
        window = self.probe.wait_for_window(title=caption, timeout=20)
        return fakeapp.hwnd_value(window["hwnd"])

    # -- running -------------------------------------------------------------------
    def shoot(self, name: str) -> Path:
        return self.xvfb.screenshot(self.out / (name + ".png"))

    def shoot_settled(self, name: str) -> Path:
        """The picture once the windows have painted: two grabs of the
        screen in a row are the same. (A grab fails while a window changes
        its mapping under it: then it counts as changed.)"""
        grabs: List[Optional[Image.Image]] = [None, None]  # the one before, the last one

        def settled() -> bool:
            try:
                grab = self.xvfb.grab()
            except OSError:
                grab = None
            grabs[:] = [grabs[1], grab]
            before, last = grabs
            return before is not None and last is not None and before.tobytes() == last.tobytes()
        waited(settled, "the screen kept changing", timeout=10)
        picture = self.out / (name + ".png")
        grabs[1].save(picture)
        return picture

    def crop(self, picture: Path, rect: Rect, margin: int = 12) -> Path:
        width, height = SCREEN
        box = (max(rect[0] - margin, 0), max(rect[1] - margin, 0),
               min(rect[2] + margin, width), min(rect[3] + margin, height))
        detail = picture.with_name(picture.stem + "-detail.png")
        with Image.open(picture) as whole:
            whole.crop(box).save(detail)
        return detail

    def window_rect(self, cls: Optional[str] = None, title: Optional[str] = None) -> Rect:
        return tuple(self.probe.wait_for_window(cls=cls, title=title)["rect"])

    def picture(self, step: Step, name: str) -> Path:
        """The step's picture, once what it must show still shows after it."""
        for _ in range(PICTURE_ATTEMPTS):
            picture = self.shoot_settled(name)
            if step.shows is None or step.shows(self):
                return picture
            step.again(self)
        raise StepFailed("%s was gone before its picture, %d times" % (step.name, PICTURE_ATTEMPTS))

    def run(self, steps: Sequence[Step], first: int = 1) -> bool:
        for number, step in enumerate(steps, first):
            name = picture_stem(number, step)
            try:
                step.act(self)
                picture = self.picture(step, name)
            except (StepFailed, TimeoutError) as error:
                self.shoot(name + "-failed")
                print("FAILED %s: %s (%s)" % (name, step.caption, error))
                return False
            if step.detail:
                self.crop(picture, step.detail(self))
            print("ok     %s: %s" % (name, step.caption))
        return True


# -- the steps -----------------------------------------------------------------------

def start(tour: Tour) -> None:
    tour.product = tour.bench.start()
    tour.start_remote()
    check(tour.product.tray_added(), "no tray icon")
    waited(lambda: "none" in tour.open_apps_text(), "the remote does not show pointer mode")
    # The mouse over Power: the remote tells what the key does in each mode.
    tour.probe.post(tour.buttons[POWER], WM_MOUSEMOVE, 0, 0x00080008)
    waited(lambda: "Power" in tour.remote_text(KEY_HEADING_ID), "no description of Power")


def pointer(tour: Tour) -> None:
    x, y = tour.probe.set_cursor(300, 300)
    tour.hold(RIGHT, lambda: tour.probe.cursor()[0] >= x + 120)
    # Wine may report a stale position for a moment after a burst of moves.
    waited(lambda: tour.probe.cursor()[1] == y, "the pointer left its row", timeout=5)
    # The pointer over the remote's Mute button; the remote's "1" clicks there,
    # so the remote presses its own Mute button (which does nothing here).
    rect = next(c["rect"] for c in tour.probe.dialog(tour.remote)["controls"]
                if c["id"] == BUTTON_ID_BASE + MUTE)
    tour.probe.set_cursor((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)
    tour.click(DIGIT_1)
    waited(lambda: "tap %d" % MUTE in Path(tour.card.feed.path).read_text(),
           "the click did not press the Mute button")
    tour.probe.set_cursor(x, y)  # away from the remote and its tooltips


def adoption(tour: Tour) -> None:
    tour.bench.wine.start([tour.apps["beyondtv"].exe])
    waited(lambda: tour.window(BEYOND_TV_VIDEO), "Beyond TV did not start")
    waited(lambda: APPS["beyondtv"]["name"] in tour.open_apps_text(),
           "the remote does not show Beyond TV")
    tour.click(DIGIT_5)
    tour.click(CH_UP)
    waited(lambda: tour.key_downs("beyondtv") == [VK_NUMPAD5, VK_UP, VK_RETURN],
           "Beyond TV did not get Num 5, Up, Enter: %s" % tour.key_downs("beyondtv"))


def power_closes(tour: Tour) -> None:
    tour.click(POWER)
    waited(lambda: fakeapp.exit_code(tour.app_log("beyondtv")) == 0, "Beyond TV did not close")
    waited(lambda: not tour.window(BEYOND_TV_VIDEO), "Beyond TV's window stayed")


def power_starts(tour: Tour) -> None:
    tour.click(POWER)
    waited(lambda: tour.window(QUILLMARSH_PANEL), "Power did not start Quillmarsh")
    tour.click(MUTE)
    waited(lambda: tour.commands("quillmarsh") == [403],
           "Quillmarsh did not get command 403: %s" % tour.commands("quillmarsh"))


def power_closes_default(tour: Tour) -> None:
    tour.click(POWER)
    waited(lambda: fakeapp.exit_code(tour.app_log("quillmarsh")) == 0, "Quillmarsh did not close")
    waited(lambda: "none" in tour.open_apps_text(), "the remote still shows an application")
    x, y = tour.probe.set_cursor(300, 300)
    tour.click(RIGHT)
    waited(lambda: tour.probe.cursor() == (x + 1, y), "the remote does not drive the pointer")


def tray_menu(tour: Tour) -> None:
    tray = tour.probe.find(cls="Shell_TrayWnd")[0]["rect"]
    tour.probe.set_cursor(tray[2] - 12, (tray[1] + tray[3]) // 2)
    tour.probe.post(tour.main_window(), TRAY_MESSAGE, 0, WM_LBUTTONDOWN)
    tour.probe.wait_for_popup()


def menu_and_tray(tour: Tour) -> Rect:
    """The open menu and the corner of the taskbar with the icon."""
    menu = tour.window_rect(cls=POPUP_MENU_CLASS)
    tray = tour.window_rect(cls="Shell_TrayWnd")
    return (min(menu[0], tray[2] - 200), menu[1], tray[2], tray[3])


def close_menu(tour: Tour) -> None:
    menu = tour.probe.find(cls=POPUP_MENU_CLASS)[0]
    tour.probe.post(menu["hwnd"], WM_KEYDOWN, VK_ESCAPE, 0)
    tour.probe.wait_for_no_window(cls=POPUP_MENU_CLASS, timeout=10)


def check_inside(tour: Tour, caption: str) -> dict:
    """Every control of the dialog lies inside it, whatever the DPI."""
    dialog = tour.probe.dialog(tour.dialog(caption))
    left, top, right, bottom = dialog["rect"]
    for control in dialog["controls"]:
        l, t, r, b = control["rect"]
        check(left <= l and r <= right and top <= t and b <= bottom,
              "%s: %r at %r leaves the dialog at %r" % (caption, control["text"],
                                                         control["rect"], dialog["rect"]))
    return dialog


def about(tour: Tour) -> None:
    close_menu(tour)
    tour.probe.post(tour.main_window(), WM_COMMAND, IDM_ABOUT, 0)
    check_inside(tour, ABOUT_CAPTION)


def about_at_start(tour: Tour) -> None:
    start(tour)
    tour.probe.post(tour.main_window(), WM_COMMAND, IDM_ABOUT, 0)
    check_inside(tour, ABOUT_CAPTION)


def settings(tour: Tour) -> None:
    tour.probe.post(tour.dialog(ABOUT_CAPTION), WM_COMMAND, IDOK, 0)
    tour.probe.wait_for_no_window(title=ABOUT_CAPTION)
    tour.probe.post(tour.main_window(), WM_COMMAND, IDM_SETTINGS, 0)
    controls = check_inside(tour, SETTINGS_CAPTION)["controls"]
    combo = next(c for c in controls if c["class"].lower() == "combobox")
    check(APPS["quillmarsh"]["menu"] in combo["items"],
          "the list lacks Quillmarsh: %s" % combo["items"])
    check(any(c["text"] == "Media keys when no TV application runs" for c in controls),
          "the Settings dialog has no media keys box")


def shutdown_dialog(tour: Tour) -> None:
    tour.probe.post(tour.dialog(SETTINGS_CAPTION), WM_COMMAND, IDOK, 0)
    tour.probe.wait_for_no_window(title=SETTINGS_CAPTION)
    tour.click(VOL_DOWN)
    check_inside(tour, SHUTDOWN_CAPTION)


def shutdown_cancelled(tour: Tour) -> None:
    tour.click(OK_KEY)
    tour.probe.wait_for_no_window(title=SHUTDOWN_CAPTION, timeout=10)
    check(tour.product.running(), "the program ended")
    check(not tour.product.trace.calls("ExitWindowsEx"), "the machine was shut down")


def exit_program(tour: Tour) -> None:
    tour.probe.post(tour.main_window(), WM_COMMAND, IDM_EXIT, 0)
    check(tour.product.wait_exit(20) == 0, "the program did not end with 0")


STEPS = [
    Step("start", "the program runs: its icon in the notification area, the virtual "
                  "remote beside it telling what Power does, no TV application", start,
         lambda tour: tour.window_rect(cls=REMOTE_CLASS)),
    Step("pointer", "no TV application: holding 7 (pointer right) moves the pointer faster "
                    "and faster; the key 1 clicks, here on the remote's own Mute button",
         pointer),
    Step("adoption", "Beyond TV is started by hand: the next key makes it the target and "
                     "it gets Num 5, then Up and Enter for Ch+", adoption,
         lambda tour: tour.window_rect(cls=REMOTE_CLASS)),
    Step("power-closes", "Power closes the target, Beyond TV", power_closes),
    Step("power-starts", "Power starts the default application, Quillmarsh, which gets "
                         "command 403 for Mute", power_starts),
    Step("power-closes-default", "Power closes Quillmarsh; the remote drives the pointer "
                                 "again", power_closes_default),
    Step("tray-menu", "the tray menu: the default application, About, Exit", tray_menu,
         menu_and_tray),
    Step("about", "the About dialog", about, lambda tour: tour.window_rect(title=ABOUT_CAPTION)),
    Step("settings", "the Settings dialog: the default TV application", settings,
         lambda tour: tour.window_rect(title=SETTINGS_CAPTION)),
    Step("shutdown-dialog", "Vol- with Quillmarsh as the default and no TV application: "
                            "the shutdown dialog", shutdown_dialog,
         lambda tour: tour.window_rect(title=SHUTDOWN_CAPTION)),
    Step("shutdown-cancelled", "any key but Power cancels it from the remote",
         shutdown_cancelled),
    Step("exit", "Exit ends the program", exit_program),
]


def key_display_text(tour: Tour) -> List[str]:
    return [w["title"] for w in tour.probe.find(cls=KEY_DISPLAY_CLASS, visible=True)]


def key_display_shows(tour: Tour) -> bool:
    shown = tour.probe.find(cls=KEY_DISPLAY_CLASS, visible=True)
    tour.key_display = tuple(shown[0]["rect"]) if shown else None
    return bool(shown)


def play_to_vlc(tour: Tour) -> None:
    """Play on the remote: VLC in front gets its key, the key display says so."""
    before = len(tour.app_log("vlc.exe"))
    tour.click(PLAY)
    waited(lambda: key_display_text(tour) == ["%s: Play" % VLC["name"]],
           "the key display does not show %s: Play: %s" % (VLC["name"], key_display_text(tour)))
    typed = [(e["vk"], e["down"]) for e in fakeapp.ll_keys(tour.app_log("vlc.exe")[before:])]
    keys = profile_rows(VLC)["Play"]["keys"]
    check(typed == [(k, True) for k in keys] + [(k, False) for k in reversed(keys)],
          "VLC did not get Play's keys %s: %s" % (keys, typed))
    front = tour.probe.foreground()
    check(front is not None and fakeapp.hwnd_value(front["hwnd"]) == tour.vlc,
          "the key display took the focus from VLC: %s" % front)


def profile_at_work(tour: Tour) -> None:
    tour.bench.set_settings(Profiles=1, ShowKeys=1, Server=1)
    tour.product = tour.bench.start()
    tour.start_remote()
    tour.apps["vlc.exe"] = tour.bench.install_app("vlc.exe")
    tour.bench.wine.start([tour.apps["vlc.exe"].exe])
    (cls, title), = fakeapp.identity("vlc.exe").windows
    tour.vlc = fakeapp.hwnd_value(tour.probe.wait_for_window(cls, title, timeout=20)["hwnd"])
    tour.bench.to_front(tour.vlc)
    play_to_vlc(tour)


def lirc_lines(tour: Tour) -> str:
    return "".join(e["text"] for e in tour.app_log(LIRC_CLIENT) if e.get("ev") == "lirc_received")


def client_gets_keys(tour: Tour) -> None:
    """A WinLIRC client connected: Play still goes to VLC in front, and the
    client gets Play's line too."""
    config = {"window": LIRC_CLIENT_WINDOW, "lirc_port": SURFACE["server"]["lirc_port"]}
    tour.apps[LIRC_CLIENT] = tour.bench.install_app(LIRC_CLIENT, config=config)
    tour.bench.wine.start([tour.apps[LIRC_CLIENT].exe])
    waited(lambda: any(e.get("ev") == "lirc_connect" and e.get("ok")
                       for e in tour.app_log(LIRC_CLIENT)), "the client did not connect")
    waited(lambda: "VERSION" in lirc_lines(tour), "the client got no answer to VERSION")
    tour.bench.to_front(tour.vlc)
    play_to_vlc(tour)
    waited(lambda: " 00 KEY_PLAY " in lirc_lines(tour),
           "the client did not get Play's line: %r" % lirc_lines(tour))
    client = tour.probe.wait_for_window(*LIRC_CLIENT_WINDOW, timeout=20)
    tour.bench.to_front(fakeapp.hwnd_value(client["hwnd"]))  # for the picture


def key_display_rect(tour: Tour) -> Rect:
    return tour.key_display


def cancel_and_exit(tour: Tour) -> None:
    shutdown_cancelled(tour)
    exit_program(tour)


# The dialogs once more at 144 DPI (150 %, Wine's LogPixels): the program is
# DPI aware, so Windows does not blur them; they scale with their font.
HIGH_DPI = 144
HIGH_DPI_STEPS = [
    Step("about-144dpi", "at 144 DPI: the About dialog", about_at_start,
         lambda tour: tour.window_rect(title=ABOUT_CAPTION)),
    Step("settings-144dpi", "at 144 DPI: the Settings dialog", settings,
         lambda tour: tour.window_rect(title=SETTINGS_CAPTION)),
    Step("shutdown-dialog-144dpi", "at 144 DPI: the shutdown dialog", shutdown_dialog,
         lambda tour: tour.window_rect(title=SHUTDOWN_CAPTION)),
    Step("exit-144dpi", "any key but Power cancels it; Exit ends the program",
         cancel_and_exit),
]


# A player's profile: Profiles and ShowKeys on, a fake VLC in front.
PROFILE_STEPS = [
    Step("profile", "Profiles on and a player in front, here a fake VLC: Play on the remote "
                    "types VLC's own key for it, Space, and the key display at the bottom "
                    "says what the key did, without taking the focus from VLC",
         profile_at_work, key_display_rect, shows=key_display_shows, again=play_to_vlc),
    Step("server", "\"Let other programs on this PC receive the remote's keys\" on and a "
                   "WinLIRC client connected: Play still goes to VLC, and the client's window "
                   "shows the line it got, in WinLIRC's words",
         client_gets_keys, lambda tour: tour.window_rect(title=LIRC_CLIENT_WINDOW[1])),
]


def dpi_reg(dpi: int) -> str:
    return (reg_text(r"HKEY_CURRENT_USER\Control Panel\Desktop", {"LogPixels": dpi})
            + reg_text(r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles"
                       r"\Current\Software\Fonts", {"LogPixels": dpi}))


def picture_stem(number: int, step: Step) -> str:
    return "%02d-%s" % (number, step.name)


def numbered(steps: Sequence[Step], first: int = 1):
    return enumerate(steps, first)


def picture_names() -> List[str]:
    """The files a tour that passes leaves, in step order."""
    names = []
    for number, step in [*numbered(STEPS), *numbered(HIGH_DPI_STEPS, len(STEPS) + 1),
                         *numbered(PROFILE_STEPS, len(STEPS) + len(HIGH_DPI_STEPS) + 1)]:
        names.append(picture_stem(number, step) + ".png")
        if step.detail:
            names.append(picture_stem(number, step) + "-detail.png")
    return names


def run_tour(out: Path, bin_dir: Path, keep: Optional[Path] = None) -> bool:
    out.mkdir(parents=True, exist_ok=True)
    for old in out.glob("*.png"):
        old.unlink()
    return (run_part(out, bin_dir, STEPS, 1, "", keep)
            and run_part(out, bin_dir, HIGH_DPI_STEPS, len(STEPS) + 1, dpi_reg(HIGH_DPI), keep)
            and run_part(out, bin_dir, PROFILE_STEPS, len(STEPS) + len(HIGH_DPI_STEPS) + 1, "",
                         keep))


def run_part(out: Path, bin_dir: Path, steps: Sequence[Step], first: int, reg: str,
             keep: Optional[Path]) -> bool:
    """One session of the tour in a prefix of its own, with reg imported first."""
    work = Path(tempfile.mkdtemp(prefix="tour-"))
    with Xvfb(*SCREEN) as xvfb:
        wine = WineEnv(work / "prefix", xvfb.display).create_from_template()
        wine.import_reg(DESKTOP_REG + reg)
        wine.kill()  # the desktop process restarts as the virtual desktop
        bench = None
        try:
            bench = Bench(wine, work / "bench", bin_dir)
            return Tour(bench, xvfb, out).run(steps, first)
        finally:
            if bench:
                bench.close()
            wine.kill()
            if keep:
                shutil.copytree(work / "bench", keep, dirs_exist_ok=True)
            shutil.rmtree(work, ignore_errors=True)


def main(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(prog="scripts/tour.sh")
    parser.add_argument("--out", type=Path, default=REPO_ROOT / "build" / "tour",
                        help="where the screenshots go (default build/tour)")
    parser.add_argument("--bin", type=Path, default=default_bin_dir())
    parser.add_argument("--keep", type=Path, help="copy the logs of the run here")
    opts = parser.parse_args(argv)
    ok = run_tour(opts.out.resolve(), opts.bin, opts.keep)
    print("The tour %s; screenshots in %s" % ("passed" if ok else "FAILED", opts.out))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
