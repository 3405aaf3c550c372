"""Numbers and names at the program's surface that the bench's steps use:
Win32 messages, the program's window texts, tray message and commands (these
last from the program's own description, surface.json; each application's
menu command is in its record there)."""

from .surface import COMMANDS, TRAY

# Win32
WM_NULL, WM_CLOSE, WM_KEYDOWN, WM_COMMAND = 0x0000, 0x0010, 0x0100, 0x0111
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN = 0x0200, 0x0201, 0x0202, 0x0204
MK_LBUTTON = 0x0001
VK_ESCAPE = 0x1B
IDOK, IDCANCEL = 1, 2
BM_CLICK = 0x00F5
CB_SETCURSEL = 0x014E
DIALOG_CLASS = "#32770"
POPUP_MENU_CLASS = "#32768"

# The program
CAPTION = "Marlow Remote Control"          # main window class and title, message boxes
SETTINGS_CAPTION = "Marlow Remote Control - Setting"
ABOUT_CAPTION = "Remote Control - About"
SHUTDOWN_CAPTION = "Marlow Remote Control - Shut Down"
TRAY_MESSAGE = TRAY["callback_message"]
TRAY_ICON_ID = TRAY["icon_id"]
IDM_ABOUT, IDM_QUIT_FROM_OUTSIDE = COMMANDS["about"], COMMANDS["quit_from_outside"]
IDM_SETTINGS, IDM_EXIT = COMMANDS["settings"], COMMANDS["exit"]
