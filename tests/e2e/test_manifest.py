"""The executable's application manifest, read from its resources as Windows
reads it (RT_MANIFEST, ID 1): common controls 6, system DPI awareness, the
supported-OS entries from Vista to Windows 10/11, and no execution level."""

import xml.etree.ElementTree as ET

import pefile

from winebench.scenario import default_bin_dir

RT_MANIFEST, CREATEPROCESS_MANIFEST = 24, 1
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WINDOWS_SETTINGS = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


def manifest() -> ET.Element:
    pe = pefile.PE(str(default_bin_dir() / "MarlowRemote.exe"))
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != RT_MANIFEST:
            continue
        ids = [entry.id for entry in kind.directory.entries]
        assert ids == [CREATEPROCESS_MANIFEST]
        data = kind.directory.entries[0].directory.entries[0].data.struct
        return ET.fromstring(pe.get_data(data.OffsetToData, data.Size))
    raise AssertionError("no manifest in the executable")


def test_the_manifest_asks_for_common_controls_6_system_dpi_awareness_and_every_windows():
    root = manifest()
    controls = [identity.attrib for identity in root.iter(ASM_V1 + "assemblyIdentity")
                if identity.get("name") == "Microsoft.Windows.Common-Controls"]
    assert controls and controls[0]["version"] == "6.0.0.0"
    assert controls[0]["publicKeyToken"] == "6595b64144ccf1df"
    aware = [e.text for e in root.iter(WINDOWS_SETTINGS + "dpiAware")]
    assert aware == ["true"]  # system-aware, not per monitor
    assert not list(root.iter(WINDOWS_SETTINGS + "dpiAwareness"))
    assert {e.get("Id") for e in root.iter(COMPAT + "supportedOS")} == SUPPORTED_OS


def test_no_execution_level_so_that_a_standard_users_settings_are_virtualised():
    text = ET.tostring(manifest(), encoding="unicode")
    assert "requestedExecutionLevel" not in text and "trustInfo" not in text
