"""Steps shared by the end-to-end tests of the tray program: starting the
product with or without its card, clicking its tray icon, reading the popup
menu it builds (from the API trace, with the entries' texts read from the
product's memory), choosing commands and opening its dialogs.
"""

from __future__ import annotations

from dataclasses import dataclass
from typing import List, Optional, Tuple

from winebench import fakeapp
from winebench.scenario import Bench, Product
from winebench.surface import APPS
from winebench.trace import ANY, Call, assert_sequence  # noqa: F401
from winebench.wine import WIDTH, wait_for

from winebench.ui import (ABOUT_CAPTION, BM_CLICK, CAPTION, CB_SETCURSEL,  # noqa: F401
                          DIALOG_CLASS, IDCANCEL, IDM_ABOUT, IDM_EXIT, IDM_QUIT_FROM_OUTSIDE,
                          IDM_SETTINGS, IDOK, POPUP_MENU_CLASS, SETTINGS_CAPTION, TRAY_ICON_ID,
                          TRAY_MESSAGE, VK_ESCAPE, WM_CLOSE, WM_COMMAND, WM_KEYDOWN,
                          WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_NULL, WM_RBUTTONDOWN)

MF_STRING, MF_CHECKED, MF_SEPARATOR = 0, 8, 0x0800

POLL_TIMER, POLL_INTERVAL_MS = 1, 65
LINK_TIMER = 3  # looks for the card again, and opens it afresh after a resume

# What the tray tests trace besides the usual functions (a module's
# TRACE_ALSO for the bench fixture): the pointer read of a click and the number
# of the "TaskbarCreated" message.
SHELL_TRACE = ("user32.GetCursorPos", "user32.RegisterWindowMessageA")

# NOTIFYICONDATAA in its first layout: size, window, id, flags, message, icon,
# tip[64]; the window and the icon are pointer-sized and aligned.
if WIDTH == 64:
    NOTIFY_RECORD_SIZE = 104
    NOTIFY_FIELDS = ((0, 4), (8, 8), (16, 4), (20, 4), (24, 4), (32, 8))
    NOTIFY_TIP_OFFSET = 40
else:
    NOTIFY_RECORD_SIZE = 88
    NOTIFY_FIELDS = ((0, 4), (4, 4), (8, 4), (12, 4), (16, 4), (20, 4))
    NOTIFY_TIP_OFFSET = 24


def hwnd(window: dict) -> int:
    return fakeapp.hwnd_value(window["hwnd"])


@dataclass(frozen=True)
class NotifyRecord:
    size: int
    window: int
    icon_id: int
    flags: int
    message: int
    icon: int
    tip: str


@dataclass(frozen=True)
class OpenMenu:
    mark: int                  # trace position before the click
    cursor: Tuple[int, int]    # where the product found the pointer


@dataclass(frozen=True)
class MenuItem:
    flags: int
    command: int
    text: Optional[str]   # None for a separator


def menu(entry: Optional[Tuple[int, int, str]] = None) -> List[MenuItem]:
    """The tray menu as built: the application entry (flags, command, text)
    when there is one, then separator, About, separator, Exit."""
    items = [MenuItem(*entry)] if entry else []
    return items + [MenuItem(MF_SEPARATOR, 0, None), MenuItem(MF_STRING, IDM_ABOUT, "About"),
                    MenuItem(MF_SEPARATOR, 0, None), MenuItem(MF_STRING, IDM_EXIT, "Exit")]


def app_entry(app: str, running: bool) -> Tuple[int, int, str]:
    """The application's entry in the menu, checked while it runs."""
    return (MF_CHECKED if running else MF_STRING, APPS[app]["command"], APPS[app]["menu"])


class Shell:
    """A started product seen from the desktop: its main window, its tray
    icon, its menu and its dialogs."""

    def __init__(self, bench: Bench, product: Product):
        self.bench = bench
        self.product = product
        self.trace = product.trace
        self.window = hwnd(wait_for(product.windows, 30, message="main window")[0])

    # -- the icon -------------------------------------------------------------
    def notify_record(self, call: Call) -> NotifyRecord:
        """The record a Shell_NotifyIconA call points to, as it is now in
        the product's memory."""
        data = self.product.memory(call.args[1], NOTIFY_RECORD_SIZE)
        fields = [int.from_bytes(data[at:at + size], "little") for at, size in NOTIFY_FIELDS]
        tip = data[NOTIFY_TIP_OFFSET:].split(b"\0", 1)[0].decode("latin-1")
        return NotifyRecord(*fields, tip)

    def tray(self, mouse_message: int) -> None:
        """What the shell sends when the pointer acts on the icon; returns
        once the product has handled it (it must not open anything modal)."""
        self.bench.probe.send(self.window, TRAY_MESSAGE, 0, mouse_message)

    def click(self, mouse_message: int = WM_LBUTTONDOWN) -> None:
        """A click on the icon, which may open a menu or a box: posted."""
        self.bench.probe.post(self.window, TRAY_MESSAGE, 0, mouse_message)

    def settle(self) -> None:
        """Returns once the product takes a message sent to it outside every
        traced call and makes no call meanwhile, twice in a row: in its main
        loop, not inside window creation, a dialog, menu or box, nor between
        two steps of its start that a message can slip in between. (Sent
        messages go before posted ones: this does not wait for what was
        posted.)"""
        def quiet() -> bool:
            mark = self.trace.mark()
            self.bench.probe.send(self.window, WM_NULL)
            return self.trace.mark() == mark and all(c.returned for c in self.trace.calls())
        wait_for(lambda: quiet() and quiet(), 30, message="%s in its main loop" % CAPTION)

    def command(self, command: int) -> None:
        """Chooses a command and returns once the product has carried it out
        (sent: it must not open anything modal)."""
        self.bench.probe.send(self.window, WM_COMMAND, command, 0)

    def post_command(self, command: int) -> None:
        """Chooses a command the way the menu does (posted)."""
        self.bench.probe.post(self.window, WM_COMMAND, command, 0)

    def wait_returned(self, func: str, timeout: float = 10.0) -> Call:
        """Waits until the latest call of `func` has returned."""
        return wait_for(lambda: next((c for c in self.trace.calls(func)[-1:] if c.returned), None),
                        timeout, message="%s returned" % func)

    # -- the menu -------------------------------------------------------------
    def open_menu(self, at: Tuple[int, int], button: int = WM_LBUTTONDOWN) -> "OpenMenu":
        """Puts the pointer at `at`, clicks the icon and waits for the popup."""
        self.bench.probe.set_cursor(*at)
        mark = self.trace.mark()
        self.click(button)
        return self.wait_menu(mark)

    def wait_menu(self, mark: int) -> "OpenMenu":
        """Waits for the popup of a click made after the mark. Where the
        product read the pointer is read from its memory while the menu is
        open (the point lives in the frame that tracks the menu): under
        Wine the pointer a click finds is not always where it was last put."""
        self.trace.wait_for_call("TrackPopupMenu", since=mark)
        self.bench.probe.wait_for_popup()
        (read,) = self.trace.calls("GetCursorPos", since=mark)
        point = self.product.memory(read.args[0], 8)
        return OpenMenu(mark, (int.from_bytes(point[:4], "little", signed=True),
                               int.from_bytes(point[4:], "little", signed=True)))

    def close_menu(self) -> None:
        """Esc on the open popup; returns when the product's TrackPopupMenu has."""
        for popup in self.bench.probe.popup():
            self.bench.probe.post(popup["hwnd"], WM_KEYDOWN, VK_ESCAPE, 0)
        self.wait_returned("TrackPopupMenu")
        self.bench.probe.wait_for_no_window(cls=POPUP_MENU_CLASS)

    def menu_items(self, since: int) -> List[MenuItem]:
        """The entries appended to menus since the mark, texts read from the
        product's memory (relay shows AppendMenuA's text only as a pointer)."""
        return [MenuItem(c.dword(1), c.args[2],
                         None if c.dword(1) & MF_SEPARATOR else self.product.text(c.args[3]))
                for c in self.trace.calls("AppendMenuA", since=since)]

    def assert_menu(self, opened: "OpenMenu", items: List[MenuItem],
                    destroyed: Optional[int] = None) -> int:
        """The click read the pointer, destroyed the menu `destroyed` (if
        given), built `items` into a new popup menu and tracked it where the
        pointer was, owned by the main window; returns the new menu."""
        created = self.trace.calls("CreatePopupMenu", since=opened.mark)[0].ret
        x, y = opened.cursor
        assert_sequence(self.trace.calls(since=opened.mark), (
            [("GetCursorPos", ANY)] +
            ([("DestroyMenu", (destroyed,))] if destroyed else []) +
            [("CreatePopupMenu", ())] +
            [("AppendMenuA", (created, item.flags, item.command, ANY)) for item in items] +
            [("SetForegroundWindow", (self.window,)),
             ("TrackPopupMenu", (created, 0, x, y, 0, self.window, 0))]))
        assert self.menu_items(opened.mark) == items
        if destroyed is None:
            assert self.trace.calls("DestroyMenu", since=opened.mark) == []
        return created

    # -- dialogs --------------------------------------------------------------
    def open_dialog(self, command: int, caption: str) -> dict:
        """Chooses a command that opens a modal dialog; returns its window
        once it shows."""
        self.post_command(command)
        return self.bench.probe.wait_for_window(cls=DIALOG_CLASS, title=caption)

    def control(self, dialog: dict, control_id: int) -> dict:
        controls = self.bench.probe.dialog(dialog["hwnd"])["controls"]
        return next(c for c in controls if c["id"] == control_id)

    def end_dialog(self, dialog: dict, command: int) -> Call:
        """Presses the dialog's button `command` (OK) or Esc (IDCANCEL) and
        returns the dialog's EndDialog call once the dialog has gone."""
        mark = self.trace.mark()
        if command == IDCANCEL:
            self.bench.probe.post(dialog["hwnd"], WM_KEYDOWN, VK_ESCAPE, 0)
        else:
            self.bench.probe.send(self.control(dialog, command)["hwnd"], BM_CLICK)
        ended = self.trace.wait_for_call("EndDialog", since=mark)
        self.bench.probe.wait_for_no_window(cls=DIALOG_CLASS, title=dialog["title"])
        self.wait_returned("DialogBoxParamA")
        return ended


def start_shell(bench: Bench, card: bool = True, **settings) -> Shell:
    """Registers the usual card (with card=False: leaves the devices as
    they are), writes the settings, starts the product and returns once its
    start is over (its main message loop runs)."""
    if card:
        bench.register_cards()
    if settings:
        bench.set_settings(**settings)
    shell = Shell(bench, bench.start())
    shell.settle()
    return shell
