"""What the program shows of itself, read from the description that its own
tables print (tools/surface, built natively with the core into
build-core/surface.json): the remote's key codes by label, each TV
application's record and windows by purpose, the tray menu's commands, the
tray's numbers, the receiver link's times, the settings and the built-in
profiles of other players. The bench and the tests take these numbers
from here instead of keeping copies. The description is built when it is
missing or older than the tables it comes from ($MARLOW_CORE_BUILD names
another build folder for it)."""

from __future__ import annotations

import fcntl
import json
import os
import subprocess
from pathlib import Path

from .wine import REPO_ROOT

CORE_BUILD = Path(os.environ.get("MARLOW_CORE_BUILD", REPO_ROOT / "build-core"))
PATH = CORE_BUILD / "surface.json"
SOURCES = [*(REPO_ROOT / "src" / "core").iterdir(), REPO_ROOT / "src" / "res" / "resource.h",
           *(REPO_ROOT / "tools" / "surface").iterdir(), *(REPO_ROOT / "tools" / "keydocs").iterdir()]


def _stale() -> bool:
    return not PATH.exists() or PATH.stat().st_mtime < max(p.stat().st_mtime for p in SOURCES)


def _load() -> dict:
    if _stale():
        CORE_BUILD.mkdir(parents=True, exist_ok=True)
        with open(CORE_BUILD / ".surface.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)  # one builder at a time (pytest workers)
            if _stale():
                quiet = {"check": True, "stdout": subprocess.DEVNULL}
                subprocess.run(["cmake", "-S", str(REPO_ROOT / "tests" / "core"), "-B",
                                str(CORE_BUILD)], **quiet)
                subprocess.run(["cmake", "--build", str(CORE_BUILD), "--target", "surface_json"],
                               **quiet)
    return json.loads(PATH.read_text())


SURFACE = _load()
KEYS = SURFACE["keys"]                  # label -> code: KEYS["Power"] == 12
APPS = SURFACE["applications"]          # "quillmarsh", "beyondtv", "windvr"
PROFILES = SURFACE["profiles"]          # the built-in profiles: name, programs, classes, titles, keys, hold
COMMANDS = SURFACE["commands"]          # the tray menu's and the accelerators' commands
TRAY = SURFACE["tray"]                  # icon_id, callback_message
SETTINGS = SURFACE["settings"]          # key (under HKEY_LOCAL_MACHINE), values
REPEAT = SURFACE["repeat"]              # window_ms, per_delivery
LINK = SURFACE["link"]                  # the receiver's link: poll, retry and resume times (ms)


def window(app: str, purpose: str) -> dict:
    """The identity of an application's window for a purpose ("key_target",
    "adopt", "running", "main", "raise", "close_test"): class, title, lookup."""
    return APPS[app]["windows"][purpose]


def switch_command(app: str) -> int:
    return APPS[app]["command"]


def profile_of(program: str) -> dict:
    """The first built-in profile that names the program file ("vlc.exe"),
    as the program matches it: in any letter case."""
    return next(p for p in PROFILES if program.lower() in (n.lower() for n in p["programs"]))


def profile_rows(profile: dict) -> dict:
    """A profile's rows by key label: kind ("chord", "app_command",
    "pointer"), keys (typed: pressed in order, released in reverse), command."""
    return {row["key"]: row for row in profile["keys"]}
