"""Python side of the fake TV application (FakeTvApp.exe).

One executable stands in for every TV application of the program's table
(surface.json's "applications", keyed by short name): it takes the identity
of the row whose executable is the file name it is installed under (see
IDENTITIES), shows top-level windows that answer each of that row's window
identities, closes on that row's close (its close command in its command
message, or its close chord) and logs what reaches it as JSON lines. Under a
file name of no row ("vlc.exe", see player()) it is another player: one window
of the class and title its settings name, which shows the keys and app
commands it receives; its hook logs the keys typed to it.

Settings (the same keys on the command line as ``--key value`` and in the
``[fakeapp]`` section of the ``<exe without .exe>.cfg`` INI file beside it, which
the program reads with GetPrivateProfileStringA; the command line wins, and its
first ``window`` replaces the file's windows):

  identity=SHORTNAME                    overrides the file name ("windvr", ...)
  window=CLASS|TITLE                    repeatable (window1, window2, ... in the
                                        file); replaces the default windows
  delay=MS                              windows appear MS ms after start
  busy_start=MS                         busy MS ms at start, before its windows and
                                        its first message (WinExec waits as long)
  exit_after=MS                         exits (code 0) MS ms after start
  close_window_after=MS:INDEX           destroys window INDEX MS ms after the
                                        windows appeared (the process stays)
  close_delay=MS                        a close command ends it MS ms later, its
                                        windows still up meanwhile
  log=PATH                              default: <exe without .exe>.log
  ignore_close=1                        WM_CLOSE and the close commands are only logged
  edit=TEXT                             each window holds an edit control with TEXT,
                                        which has the focus whenever the window has it
  parent=CLASS                          the windows are children of the first top-level
                                        window of CLASS (another program's); without
                                        one, none is made (its window event's error)

A bad setting is logged as an "error" event and the program exits with code 2.

Log events (every line has "t_us", "pid" and "ev"; "hwnd" values are strings
"0x%08x", numbers are unsigned):
  start   identity, args, exe, log
  window  hwnd, class, title, index (+ error when creation failed)
  msg     hwnd, class, title, msg ("WM_KEYDOWN", ..., "MSG<number>" for private
          messages), wParam, lParam
  destroy hwnd, class, title            (a window closed while the app keeps running)
  closing                               a close command came; it ends after close_delay
  ll_key  vk, scan, flags, down, injected
  ll_mouse msg, x, y, flags, data
  error   message
  exit    code
"""

from __future__ import annotations

import os
import shutil
from dataclasses import dataclass
from pathlib import Path, PureWindowsPath
from typing import Iterable, Mapping, Optional, Union

from .cardemu import read_log, wait_for_log  # JSON-lines log reading, shared
from .surface import APPS

__all__ = [
    "Identity", "IDENTITIES", "identity", "player", "answers", "install", "installed_paths", "config_text",
    "registry_fragment", "read_log", "wait_for_log", "events", "messages", "ll_keys",
    "ll_mice", "exit_code", "hwnd_value",
]

EXE_NAME = "FakeTvApp.exe"

WM_CLOSE = 0x0010
WM_KEYDOWN, WM_KEYUP, WM_CHAR = 0x0100, 0x0101, 0x0102


@dataclass(frozen=True)
class Identity:
    name: str  # the row's short name, or the file name of a player
    exe_name: str
    windows: tuple  # ((class, title), ...) shown by default
    reg_key: Optional[str]  # under HKEY_LOCAL_MACHINE; None for a player
    reg_value: Optional[str]  # its data is the install directory
    default_dir: str  # a typical install directory
    close: dict  # how it is closed: kind, keys (the chord), command
    command_message: int  # its private command message; 0 for none


def answers(window, identity: dict) -> bool:
    """Whether a window (class, title) answers a window identity of
    surface.json (class, title, lookup): the same class when it names one, the
    whole title, or its beginning for a TitlePrefix lookup."""
    cls, title = window
    if identity["class"] is not None and cls != identity["class"]:
        return False
    if identity["title"] is None:
        return True
    if identity["lookup"] == "TitlePrefix":
        return title.startswith(identity["title"])
    return title == identity["title"]


def _windows(name: str) -> tuple:
    """The windows the fake makes for a row (FakeConfig.h says how): a window
    per class and per title named without a class, in the order in which the
    row's identities first name them; a class's window is titled for every
    lookup of that class."""
    app = APPS[name]
    identities = list(app["windows"].values())  # key target, adopt, running, main, raise, close test
    windows, titles = [], []
    for identity in identities:
        cls, title = identity["class"], identity["title"]
        if cls is not None and all(cls != c for c, _ in windows):
            of_class = [i for i in identities if i["class"] == cls]
            titles_of_class = [i["title"] for i in of_class if i["title"] is not None]
            windows.append((cls, next((t for t in titles_of_class
                                       if all(answers((cls, t), i) for i in of_class)),
                                      app["name"])))
        elif cls is None and title is not None and title not in titles:
            titles.append(title)
            windows.append(("FakeTvApp.%s.%d" % (name, len(titles)), title))
    return tuple(windows)


def _identity(name: str) -> Identity:
    app = APPS[name]
    install = app["install"]
    return Identity(name, install["executable"], _windows(name), install["key"], install["value"],
                    r"C:\Program Files\%s" % app["name"], app["close"], app["command_message"])


# By short name, in the order of the program's rows.
IDENTITIES = {name: _identity(name) for name in APPS}

IdentityLike = Union[str, Identity]


def player(exe_name: str, window: Optional[tuple] = None) -> Identity:
    """The fake as a player of no TV application's row, under exe_name
    ("vlc.exe"): one window, (class, title) or a class and title of its own,
    its install recorded nowhere."""
    if any(exe_name.lower() == i.exe_name.lower() for i in IDENTITIES.values()):
        raise ValueError("%s is a TV application's file name" % exe_name)
    stem = exe_name.rsplit(".", 1)[0]
    window = window or ("FakePlayer.%s" % stem, "Fake %s" % exe_name)
    no_close = {"kind": None, "keys": [], "command": 0}
    return Identity(exe_name, exe_name, (window,), None, None, r"C:\Players\%s" % stem, no_close, 0)


def identity(which: IdentityLike) -> Identity:
    """A row's identity by short name, a player's by its file name ("vlc.exe")."""
    if isinstance(which, Identity):
        return which
    return IDENTITIES[which] if which in IDENTITIES else player(which)


@dataclass(frozen=True)
class InstalledApp:
    directory: Path
    exe: Path
    cfg: Path
    log: Path  # the default log (unless the config names another)


def _unix_dir(drive_c: Path, win_dir: str) -> Path:
    win = PureWindowsPath(win_dir)
    if win.drive.upper() != "C:":
        raise ValueError("install directory must be on C: (%r)" % win_dir)
    return Path(drive_c).joinpath(*win.parts[1:])


def installed_paths(drive_c: Union[str, os.PathLike], which: IdentityLike,
                    win_dir: str) -> InstalledApp:
    """Unix paths of an install made by install()."""
    directory = _unix_dir(Path(drive_c), win_dir)
    exe = directory / identity(which).exe_name
    return InstalledApp(directory, exe, exe.with_suffix(".cfg"), exe.with_suffix(".log"))


def _setting_lines(key: str, value) -> list:
    if key == "window":
        single = isinstance(value, str) or (isinstance(value, tuple) and isinstance(value[0], str))
        windows = [value] if single else list(value)
        return ["window%d=%s" % (n, w if isinstance(w, str) else "%s|%s" % w)
                for n, w in enumerate(windows, 1)]
    if isinstance(value, bool):
        value = int(value)
    elif key == "close_window_after" and isinstance(value, tuple):
        value = "%d:%d" % value
    return ["%s=%s" % (key, value)]


def config_text(config: Mapping) -> str:
    """The .cfg text of a settings dict. "window" takes a list of "CLASS|TITLE"
    strings or (class, title) pairs; "close_window_after" also takes (ms, index);
    booleans become 1/0."""
    lines = ["[fakeapp]"]
    for key, value in config.items():
        lines += _setting_lines(key, value)
    return "\r\n".join(lines) + "\r\n"


def _reg_string(value: str) -> str:
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def registry_fragment(which: IdentityLike, win_dir: str) -> str:
    """The REGEDIT4 key section (no "REGEDIT4" header) that records win_dir,
    exactly as given, as the application's install location ("" for a
    player). Sections can be joined after one header."""
    ident = identity(which)
    if ident.reg_key is None:
        return ""
    return "[HKEY_LOCAL_MACHINE\\%s]\r\n%s=%s\r\n\r\n" % (
        ident.reg_key, _reg_string(ident.reg_value), _reg_string(win_dir))


def install(drive_c: Union[str, os.PathLike], fake_exe: Union[str, os.PathLike],
            which: IdentityLike, win_dir: str, config: Optional[Mapping] = None) -> str:
    """Installs the fake application `which` in win_dir (a C:\\ path, mapped
    under drive_c): copies fake_exe under the application's file name and writes
    the .cfg from `config` (None removes a previous one; a player's .cfg
    always names its window).

    Returns a whole REGEDIT4 file (header + registry_fragment) for the caller to
    import (``wine regedit /S``); "" for a player, which has nothing to import."""
    ident = identity(which)
    if ident.reg_key is None:
        config = {"window": ident.windows[0], **(config or {})}
    paths = installed_paths(drive_c, which, win_dir)
    paths.directory.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(fake_exe, paths.exe)
    if config is None:
        paths.cfg.unlink(missing_ok=True)
    else:
        paths.cfg.write_text(config_text(config), encoding="ascii")
    fragment = registry_fragment(which, win_dir)
    return "REGEDIT4\r\n\r\n" + fragment if fragment else ""


def hwnd_value(hwnd: Union[str, int]) -> int:
    """A window handle from a log or probe reply ("0x0001004a") as an int."""
    return hwnd if isinstance(hwnd, int) else int(hwnd, 0)


def events(log: Iterable[dict], ev: str) -> list:
    return [e for e in log if e.get("ev") == ev]


def messages(log: Iterable[dict], msg: Optional[str] = None, hwnd=None,
             title: Optional[str] = None, cls: Optional[str] = None) -> list:
    """Window messages received, filtered by name ("WM_KEYDOWN", "MSG1234"),
    window handle (str or int), title or class."""
    want = None if hwnd is None else hwnd_value(hwnd)
    return [e for e in events(log, "msg")
            if (msg is None or e["msg"] == msg) and (want is None or hwnd_value(e["hwnd"]) == want)
            and (title is None or e["title"] == title) and (cls is None or e["class"] == cls)]


def ll_keys(log: Iterable[dict], vk: Optional[int] = None, down: Optional[bool] = None) -> list:
    """Keyboard events seen by the low-level hook."""
    return [e for e in events(log, "ll_key")
            if (vk is None or e["vk"] == vk) and (down is None or e["down"] == down)]


def ll_mice(log: Iterable[dict], msg: Optional[str] = None) -> list:
    """Mouse events seen by the low-level hook."""
    return [e for e in events(log, "ll_mouse") if msg is None or e["msg"] == msg]


def exit_code(log: Iterable[dict]) -> Optional[int]:
    """The code of the "exit" event, None while the application runs."""
    exits = events(log, "exit")
    return exits[-1]["code"] if exits else None
