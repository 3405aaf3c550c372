"""The program's folders are layers: an include reaches only into the same
folder or a layer nearer the leaves, so no two folders include each other;
and the core includes nothing of Windows but the SDK constants."""

import re
from pathlib import Path

SRC = Path(__file__).resolve().parents[2] / "src"
# Leaves first; folders on one level never include each other.
LEVELS = {"res": -1, "core": 0, "win32": 1, "card": 2, "apps": 3, "input": 3, "power": 3,
          "poll": 4, "shell": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+[<"]([^>"]+)[>"]', re.M)


def includes():
    for path in sorted(SRC.rglob("*")):
        if path.suffix in (".cpp", ".h"):
            folder = path.relative_to(SRC).parts[0]
            for name in INCLUDE.findall(path.read_text()):
                yield path.relative_to(SRC), folder, name


def test_every_include_points_to_the_leaves():
    wrong = []
    for path, folder, name in includes():
        target = name.split("/")[0] if "/" in name else None
        if target is None or target == folder:
            continue
        assert target in LEVELS, "%s: unknown folder %s" % (path, target)
        if LEVELS[target] >= LEVELS[folder]:
            wrong.append("%s includes %s" % (path, name))
    assert not wrong


def test_the_core_includes_only_itself_the_resources_and_the_standard_library():
    outside = [(str(path), name) for path, folder, name in includes()
               if folder == "core" and "/" not in name and "." in name
               and not (str(path) == "core/Sdk.h" and name == "windows.h")]
    assert not outside
