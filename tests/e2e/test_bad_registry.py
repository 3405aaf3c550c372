"""Odd registry data in the five values the program reads: the two settings
and the three install locations, of other types and of lengths 0, 1, 4, 5,
128 and 300 bytes. The program never crashes: a value of up to 4 bytes
counts as the number it spells (little-endian), a longer one as missing
(the default is written back); an install location counts whatever its
type, unless it does not fit 128 bytes with its terminator. The tray menu
and the Settings list show exactly the applications that count as
installed.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Dict, List, Optional

import pytest

from remote_steps import INITIAL_SELECTOR, install, selector
from shell_steps import (IDCANCEL, IDM_SETTINGS, SETTINGS_CAPTION, SHELL_TRACE, app_entry, menu,
                         start_shell)
from winebench.scenario import RegData
from winebench.surface import APPS
from winebench.wine import RawReg

TRACE_ALSO = SHELL_TRACE

APPLICATION_LIST = 11
BEYONDTV, WINDVR = selector("beyondtv"), selector("windvr")


def hex_data(type_code: int, data: bytes) -> RawReg:
    """Registry data of any type, byte for byte (strings as UTF-16LE)."""
    return RawReg("hex(%x):%s" % (type_code, ",".join("%02x" % b for b in data)))


def utf16(text: str) -> bytes:
    return text.encode("utf-16-le")


REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD = 1, 2, 3, 4, 7, 11
PATH_127 = "C:\\" + "P" * 124


@dataclass
class Case:
    locations: Dict[str, Optional[RegData]]   # identity -> install location data
    installed: Dict[str, bool]
    settings: Dict[str, RegData]
    selector: int                              # as the program reads it
    rewritten: List[str] = field(default_factory=list)   # settings written back
    runs: bool = True


CASES = {
    "short": Case(
        {"windvr": hex_data(REG_SZ, b""), "beyondtv": hex_data(REG_BINARY, b"C"),
         "quillmarsh": 0x3A43},
        {"windvr": True, "beyondtv": True, "quillmarsh": True},
        {"DefaultTVAPP": hex_data(REG_BINARY, bytes([BEYONDTV])),
         "AlwaysRemoteOff": hex_data(REG_BINARY, b"")},
        selector=BEYONDTV),
    "long": Case(
        {"windvr": hex_data(REG_BINARY, b"C" * 128), "beyondtv": "C:\\" + "x" * 297,
         "quillmarsh": hex_data(REG_BINARY, b"C:\\T\0")},
        {"windvr": False, "beyondtv": False, "quillmarsh": True},
        {"DefaultTVAPP": hex_data(REG_BINARY, bytes([WINDVR, 0, 0, 0, 0])),
         "AlwaysRemoteOff": hex_data(REG_QWORD, b"\x01" + b"\0" * 7)},
        selector=INITIAL_SELECTOR, rewritten=["DefaultTVAPP", "AlwaysRemoteOff"]),
    "127-and-128-characters": Case(
        {"windvr": PATH_127, "beyondtv": PATH_127 + "Q",
         "quillmarsh": hex_data(REG_SZ, utf16(PATH_127 + "Q"))},
        {"windvr": True, "beyondtv": False, "quillmarsh": False},
        {"DefaultTVAPP": str(WINDVR), "AlwaysRemoteOff": "1"},
        selector=ord(str(WINDVR))),  # the digit's character code
    "string-types": Case(
        {"windvr": hex_data(REG_EXPAND_SZ, utf16("%ProgramFiles%\\WinDVR\0")),
         "beyondtv": hex_data(REG_MULTI_SZ, utf16("C:\\A\0C:\\B\0\0")), "quillmarsh": None},
        {"windvr": True, "beyondtv": True, "quillmarsh": False},
        {"DefaultTVAPP": hex_data(REG_DWORD, bytes([WINDVR, 0])), "AlwaysRemoteOff": "x" * 300},
        selector=WINDVR, rewritten=["AlwaysRemoteOff"]),
    "2-byte-1-ends": Case(
        {}, {}, {"AlwaysRemoteOff": hex_data(REG_BINARY, b"\x01\0")}, selector=INITIAL_SELECTOR,
        runs=False),
}


def expected_list(case: Case) -> list:
    """The installed applications' entries, in the rows' order."""
    return [APPS[app]["menu"] for app in APPS if case.installed.get(app)]


@pytest.mark.parametrize("name", CASES)
def test_program_comes_up_with_what_the_data_says(bench, name):
    case = CASES[name]
    for identity, data in case.locations.items():
        install(bench, identity)
        bench.set_app_location(identity, data)
    card = bench.register_cards()[0]
    bench.set_settings(**case.settings)

    if not case.runs:
        product = bench.start(wait=False)
        assert product.wait_exit() == 0
        assert product.trace.calls("SetTimer") == []
        return
    shell = start_shell(bench, card=False)
    assert [c.args[1] for c in shell.trace.calls("RegSetValueExA")] == case.rewritten

    default = next((app for app in APPS if selector(app) == case.selector), None)
    installed_default = case.installed.get(default, False)
    at = (222, 111)
    opened = shell.open_menu(at)
    entry = app_entry(default, running=False) if installed_default else None
    shell.assert_menu(opened, menu(entry))
    shell.close_menu()

    dialog = shell.open_dialog(IDM_SETTINGS, SETTINGS_CAPTION)
    combo = shell.control(dialog, APPLICATION_LIST)
    entries = expected_list(case)
    selected = entries.index(APPS[default]["menu"]) if installed_default else 0
    assert (combo["items"], combo["cursel"]) == (entries, selected if entries else -1)
    shell.end_dialog(dialog, IDCANCEL)
    assert shell.product.stop() == 0
    assert card.log(), "the card was polled"
