"""Python side of the fake TV application (FakeTvApp.exe).

One executable stands in for WinDVR 6, Beyond TV and Quillmarsh: it takes the
identity of the file name it is installed under (see IDENTITIES), shows that
application's top-level windows and logs what reaches it as JSON lines.

Settings (the same keys on the command line as ``--key value`` and in the
``[fakeapp]`` section of the ``<exe without .exe>.cfg`` INI file beside it, which
the program reads with GetPrivateProfileStringA; the command line wins, and its
first ``window`` replaces the file's windows):

  identity=windvr|beyondtv|quillmarsh   overrides the file name
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

A bad setting is logged as an "error" event and the program exits with code 2.

Log events (every line has "t_us", "pid" and "ev"; "hwnd" values are strings
"0x%08x", numbers are unsigned):
  start   identity, args, exe, log
  window  hwnd, class, title, index (+ error when creation failed)
  msg     hwnd, class, title, msg ("WM_KEYDOWN", ..., "MSG4024" for private
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
    "Identity", "IDENTITIES", "identity", "install", "installed_paths", "config_text",
    "registry_fragment", "read_log", "wait_for_log", "events", "messages", "ll_keys",
    "ll_mice", "exit_code", "hwnd_value",
]

EXE_NAME = "FakeTvApp.exe"

VK_SHIFT, VK_CONTROL, VK_MENU = 0x10, 0x11, 0x12
VK_F4, VK_F8 = 0x73, 0x77
WM_CLOSE = 0x0010
WM_KEYDOWN, WM_KEYUP, WM_CHAR = 0x0100, 0x0101, 0x0102
WM_USER = 0x0400

# Close commands the fake applications obey (unless ignore_close).
WINDVR_CLOSE_CHORD = (VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8)
BEYONDTV_CLOSE_CHORD = (VK_MENU, VK_F4)
QUILLMARSH_COMMAND = APPS["quillmarsh"]["command_message"]  # 4024
QUILLMARSH_EXIT = 1


@dataclass(frozen=True)
class Identity:
    name: str
    exe_name: str
    windows: tuple  # ((class, title), ...) shown by default
    reg_key: str  # under HKEY_LOCAL_MACHINE
    reg_value: str  # its data is the install directory
    default_dir: str  # a typical install directory


def _identity(name: str, windows, default_dir: str) -> Identity:
    install = APPS[name]["install"]
    return Identity(name, install["executable"], windows, install["key"], install["value"],
                    default_dir)


def _window(app: str, purpose: str, part: str) -> str:
    return APPS[app]["windows"][purpose][part]


# The windows each fake makes, in the identities by which the program knows
# them (its main window first, then the window its key map addresses); the
# fake WinDVR 6's classes are its own, as the program looks for its titles.
IDENTITIES = {
    i.name: i for i in (
        _identity("windvr", (("FakeWinDVRVideo", _window("windvr", "key_target", "title")),
                             ("FakeWinDVRPanel", _window("windvr", "main", "title"))),
                  r"C:\Program Files\InterVideo\WinDVR6"),
        _identity("beyondtv", ((_window("beyondtv", "main", "class"),
                                _window("beyondtv", "raise", "title")),
                               (_window("beyondtv", "key_target", "class"), "Beyond TV")),
                  r"C:\Program Files\SnapStream Media\Beyond TV"),
        _identity("quillmarsh", ((_window("quillmarsh", "main", "class"),
                                  _window("quillmarsh", "raise", "title")),
                                 (_window("quillmarsh", "key_target", "class"), "Quillmarsh")),
                  r"C:\Program Files\Honestech\TV Plus"),
    )
}

IdentityLike = Union[str, Identity]


def identity(which: IdentityLike) -> Identity:
    return which if isinstance(which, Identity) else IDENTITIES[which]


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
    exactly as given, as the application's install location. Sections can be
    joined after one header."""
    ident = identity(which)
    return "[HKEY_LOCAL_MACHINE\\%s]\r\n%s=%s\r\n\r\n" % (
        ident.reg_key, _reg_string(ident.reg_value), _reg_string(win_dir))


def install(drive_c: Union[str, os.PathLike], fake_exe: Union[str, os.PathLike],
            which: IdentityLike, win_dir: str, config: Optional[Mapping] = None) -> str:
    """Installs the fake application `which` in win_dir (a C:\\ path, mapped
    under drive_c): copies fake_exe under the application's file name and writes
    the .cfg from `config` (None removes a previous one).

    Returns a whole REGEDIT4 file (header + registry_fragment) for the caller to
    import (``wine regedit /S``)."""
    paths = installed_paths(drive_c, which, win_dir)
    paths.directory.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(fake_exe, paths.exe)
    if config is None:
        paths.cfg.unlink(missing_ok=True)
    else:
        paths.cfg.write_text(config_text(config), encoding="ascii")
    return "REGEDIT4\r\n\r\n" + registry_fragment(which, win_dir)


def hwnd_value(hwnd: Union[str, int]) -> int:
    """A window handle from a log or probe reply ("0x0001004a") as an int."""
    return hwnd if isinstance(hwnd, int) else int(hwnd, 0)


def events(log: Iterable[dict], ev: str) -> list:
    return [e for e in log if e.get("ev") == ev]


def messages(log: Iterable[dict], msg: Optional[str] = None, hwnd=None,
             title: Optional[str] = None, cls: Optional[str] = None) -> list:
    """Window messages received, filtered by name ("WM_KEYDOWN", "MSG4024"),
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
