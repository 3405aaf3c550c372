"""MarlowRemote.exe as a file: a 32-bit x86 Windows GUI program for Windows
XP (subsystem 5.01) and later that needs no DLL beside it, only Windows' own.
At 64 bits the file under test is the x86-64 test build (PE32+)."""

from __future__ import annotations

import struct
from dataclasses import dataclass
from typing import List, Tuple

import pytest

from remote_steps import of_32bit_product
from winebench.scenario import PRODUCT_EXE
from winebench.wine import WIDTH

IMAGE_FILE_MACHINE_I386, IMAGE_FILE_MACHINE_AMD64 = 0x014C, 0x8664
IMAGE_FILE_EXECUTABLE_IMAGE, IMAGE_FILE_DLL = 0x0002, 0x2000
PE32_MAGIC, PE32_PLUS_MAGIC = 0x010B, 0x020B
# The format each width's build has.
FORMAT = {32: (IMAGE_FILE_MACHINE_I386, PE32_MAGIC), 64: (IMAGE_FILE_MACHINE_AMD64, PE32_PLUS_MAGIC)}
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMPORT_DIRECTORY, DELAY_IMPORT_DIRECTORY = 1, 13

# DLLs of Windows itself (and of Wine in its place) that a program may import.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ws2_32.dll", "iphlpapi.dll",
               "ole32.dll", "oleaut32.dll", "comctl32.dll", "msvcrt.dll", "quartz.dll"}


@dataclass
class PeImage:
    machine: int
    characteristics: int
    magic: int
    subsystem: int
    subsystem_version: Tuple[int, int]
    imports: List[str]
    delay_imports: List[str]


def _unpack(fmt: str, data: bytes, offset: int) -> tuple:
    return struct.unpack_from("<" + fmt, data, offset)


def _dll_names(data: bytes, sections: list, directory: Tuple[int, int], entry_size: int,
               name_field: int) -> List[str]:
    """The DLL names of an import table whose entries are `entry_size` bytes
    with the name's RVA at byte `name_field`; a zero entry ends it."""
    def file_offset(rva: int) -> int:
        for virtual_address, virtual_size, raw_offset in sections:
            if virtual_address <= rva < virtual_address + virtual_size:
                return rva - virtual_address + raw_offset
        raise ValueError("RVA 0x%x is in no section" % rva)

    rva, size = directory
    names = []
    if not rva or not size:
        return names
    entry = file_offset(rva)
    while any(data[entry:entry + entry_size]):
        (name_rva,) = _unpack("I", data, entry + name_field)
        start = file_offset(name_rva)
        names.append(data[start:data.index(b"\0", start)].decode("ascii"))
        entry += entry_size
    return names


def read_pe(data: bytes) -> PeImage:
    assert data[:2] == b"MZ", "no DOS header"
    (pe,) = _unpack("I", data, 0x3C)
    assert data[pe:pe + 4] == b"PE\0\0", "no PE signature"
    machine, section_count, _, _, _, optional_size, characteristics = _unpack(
        "HHIIIHH", data, pe + 4)
    optional = pe + 24
    (magic,) = _unpack("H", data, optional)
    major, minor = _unpack("HH", data, optional + 48)
    (subsystem,) = _unpack("H", data, optional + 68)
    # PE32+ has 64-bit image base and stack sizes: its directories lie 16 bytes further.
    at = optional + (108 if magic == PE32_PLUS_MAGIC else 92)
    (directory_count,) = _unpack("I", data, at)
    directories = [_unpack("II", data, at + 4 + 8 * i) for i in range(directory_count)]
    sections = []
    for i in range(section_count):
        virtual_size, virtual_address, raw_size, raw_offset = _unpack(
            "IIII", data, optional + optional_size + 40 * i + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))
    delay = (directories[DELAY_IMPORT_DIRECTORY] if directory_count > DELAY_IMPORT_DIRECTORY
             else (0, 0))
    return PeImage(machine, characteristics, magic, subsystem, (major, minor),
                   _dll_names(data, sections, directories[IMPORT_DIRECTORY], 20, 12),
                   _dll_names(data, sections, delay, 32, 4))


@pytest.fixture(scope="module")
def image(bin_dir) -> PeImage:
    return read_pe((bin_dir / PRODUCT_EXE).read_bytes())


def test_is_a_windows_gui_program_of_the_width_under_test(image):
    assert (image.machine, image.magic) == FORMAT[WIDTH]
    assert image.characteristics & IMAGE_FILE_EXECUTABLE_IMAGE
    assert not image.characteristics & IMAGE_FILE_DLL
    assert image.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI


@of_32bit_product("the PE32 header of the program for Windows XP")
def test_is_a_32_bit_x86_gui_program_for_windows_xp_and_later(image):
    assert (image.machine, image.magic) == (IMAGE_FILE_MACHINE_I386, PE32_MAGIC)
    assert image.characteristics & IMAGE_FILE_EXECUTABLE_IMAGE
    assert not image.characteristics & IMAGE_FILE_DLL
    assert image.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI
    assert image.subsystem_version == (5, 1)


def test_imports_only_windows_own_dlls(image):
    names = [name.lower() for name in image.imports + image.delay_imports]
    assert {"kernel32.dll", "user32.dll"} <= set(names)
    assert set(names) <= SYSTEM_DLLS, "DLLs that Windows does not have: %s" % sorted(
        set(names) - SYSTEM_DLLS)
