"""Static footprint of a Windows executable: its size and what it imports."""

from __future__ import annotations

import os
import subprocess
from typing import Dict, List

OBJDUMP = "x86_64-w64-mingw32-objdump"  # reads PE32 and PE32+ alike


def parse_imports(objdump_text: str) -> Dict[str, List[str]]:
    """DLL name -> imported function names (or "#ordinal"), in file order,
    from the "Import Tables" part of `objdump -p`."""
    imports: Dict[str, List[str]] = {}
    current = None
    in_members = False
    for line in objdump_text.splitlines():
        stripped = line.strip()
        if stripped.startswith("DLL Name:"):
            current = stripped.split(":", 1)[1].strip()
            imports[current] = []
            in_members = False
        elif current is not None and stripped.startswith("vma:") and "Member-Name" in stripped:
            in_members = True
        elif in_members and stripped:
            words = stripped.split()
            # "vma  hint  name", or "vma  <ordinal>" for an import by ordinal
            imports[current].append(words[2] if len(words) > 2 else "#" + words[-1])
        elif in_members:
            in_members = False
    return imports


def imports_of(exe: os.PathLike, objdump: str = OBJDUMP) -> Dict[str, List[str]]:
    text = subprocess.run([objdump, "-p", os.fspath(exe)], check=True, capture_output=True,
                          text=True, timeout=60).stdout
    return parse_imports(text)


def static_footprint(exe: os.PathLike) -> dict:
    """size_bytes, and imports as {dll: function count} with the totals."""
    imports = imports_of(exe)
    return {
        "size_bytes": os.path.getsize(exe),
        "import_dlls": len(imports),
        "import_functions": sum(len(f) for f in imports.values()),
        "imports": {dll: len(funcs) for dll, funcs in imports.items()},
    }
