"""The real TV applications, kept apart from the program's tables so that a mistyped row fails."""

# Virtual keys of the close chords.
VK_SHIFT, VK_CONTROL, VK_MENU, VK_F4, VK_F8 = 0x10, 0x11, 0x12, 0x73, 0x77


def _window(cls, title, lookup):
    return {"class": cls, "title": title, "lookup": lookup}


# The card's own application.
_PANEL = _window("VarnelMainPanel_Class", None, "DesktopChild")
QUILLMARSH = {
    "name": "Quillmarsh", "selector": 6, "menu": "Quillmarsh", "command": 1106,
    "install": {"key": "Software\\Honestech\\TV Plus\\DTVR", "value": "AppPath",
                "executable": "MainPanel.exe"},
    "windows": {"key_target": _PANEL, "adopt": _PANEL, "running": _PANEL,
                "main": _window("Quillmarsh", None, "FindWindow"),
                "raise": _window("Quillmarsh", "FormMainWindow", "TitlePrefix"),
                "close_test": _PANEL},
    "command_message": 0x0400 + 3000,  # WM_USER + 3000
    "close": {"kind": "command", "command": 1, "keys": []},
    "power_closes": ["windvr", "beyondtv"], "switch_closes": ["beyondtv", "windvr"],
    "off": "standby", "volume_down": "shutdown_dialog",
}

# SnapStream's Beyond TV: its video window is a child of the desktop.
_VIDEO = _window("Streamzap.WM.D3D", None, "DesktopChild")
BEYONDTV = {
    "name": "Beyond TV", "selector": 7, "menu": "SnapStream", "command": 1107,
    "install": {"key": "SOFTWARE\\SnapStream Media\\Beyond TV", "value": "InstallDir",
                "executable": "BTVD3DShell.exe"},
    "windows": {"key_target": _VIDEO, "adopt": _VIDEO,
                "running": _window("SnapStream", None, "DesktopChild"),
                "main": _window("SnapStream", None, "FindWindow"),
                "raise": _window("SnapStream", "FormMainWindow", "TitlePrefix"),
                "close_test": _VIDEO},
    "command_message": 0,
    "close": {"kind": "raise_then_chord", "command": 0, "keys": [VK_MENU, VK_F4]},
    "power_closes": ["windvr", "quillmarsh"], "switch_closes": ["quillmarsh", "windvr"],
    "off": "shutdown_dialog", "volume_down": "media_key",
}

# InterVideo WinDVR 6: known by its titles alone.
_WINDVR_6 = _window(None, "WinDVR 6", "TitlePrefix")
WINDVR = {
    "name": "WinDVR 6", "selector": 8, "menu": "WinDVR 6", "command": 1108,
    "install": {"key": "Software\\InterVideo\\DVR6", "value": "PATH",
                "executable": "WinDVR.exe"},
    "windows": {"key_target": _window(None, "InterVideo WinDVR 6", "ExactTitle"),
                "adopt": _window(None, "InterVideo WinDVR 6", "DesktopChild"),
                "running": _WINDVR_6, "main": _WINDVR_6, "raise": _WINDVR_6,
                "close_test": _WINDVR_6},
    "command_message": 0,
    "close": {"kind": "chord", "command": 0, "keys": [VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8]},
    "power_closes": ["beyondtv", "quillmarsh"], "switch_closes": ["beyondtv", "quillmarsh"],
    "off": "standby", "volume_down": "media_key",
}

# By the short names the program gives them, in the order in which a key
# looks for one to adopt.
APPLICATIONS = {"quillmarsh": QUILLMARSH, "beyondtv": BEYONDTV, "windvr": WINDVR}

# Beyond the rows: the order of the exit watch, the default before the
# settings say otherwise, and what Off and Vol- do when no row is the default.
PROGRAM = {
    "exit_watch_order": ["windvr", "quillmarsh", "beyondtv"],
    "initial_default_selector": 6,
    "without_default": {"off": "standby", "volume_down": "media_key"},
}
