"""The installer's tests once more as on Windows 10 and 11: the 32-bit
installer and program under WoW64 in a 64-bit prefix, where both read and
write the registry's 32-bit view (Wow6432Node) and Program Files is
"Program Files (x86)"."""

from test_installer import *  # noqa: F401,F403 (the same tests)
from test_installer import OWN_PREFIX, pytestmark  # noqa: F401

PREFIX_WIDTH = 64
