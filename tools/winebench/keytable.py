"""The README's generated parts, printed by keytable.exe from the program's
own tables, each spliced between two marker lines: the table of what every
remote key does, and the list of the key names that profiles.ini reads.

    python3 -m winebench.keytable [--check] [--readme FILE] [--bin DIR]

Without --check the README is rewritten in place when a part is out of
date; with --check nothing is written and the exit status is 1 when a part
differs from what the program would print.
"""

from __future__ import annotations

import argparse
import sys
import tempfile
from pathlib import Path
from typing import Sequence

from .scenario import REPO_ROOT, default_bin_dir
from .wine import WineEnv

BEGIN = "<!-- key table: made by scripts/keytable.sh from the program's key tables -->"
END = "<!-- end of key table -->"
# The names that profiles.ini reads, printed by `keytable.exe names`.
NAMES_BEGIN = "<!-- key names: made by scripts/keytable.sh from the program's key names -->"
NAMES_END = "<!-- end of key names -->"
# Each generated part of the README: its marker lines and keytable.exe's arguments.
PARTS = {"key table": (BEGIN, END, []), "key names": (NAMES_BEGIN, NAMES_END, ["names"])}


def generate(wine: WineEnv, bin_dir: Path, part: str = "key table") -> str:
    """The part as keytable.exe prints it, with Unix line ends."""
    result = wine.run([bin_dir / "keytable.exe", *PARTS[part][2]], check=True)
    return result.stdout.replace("\r\n", "\n")


def block(readme: str, part: str = "key table") -> str:
    """The text between the part's marker lines (exclusive)."""
    begin, end = PARTS[part][:2]
    start = readme.index(begin) + len(begin) + 1
    return readme[start:readme.index(end, start)]


def splice(readme: str, text: str, part: str = "key table") -> str:
    """The README with the text between the part's marker lines replaced."""
    begin, end = PARTS[part][:2]
    start = readme.index(begin) + len(begin) + 1
    stop = readme.index(end, start)
    return readme[:start] + text + readme[stop:]


def main(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(prog="scripts/keytable.sh")
    parser.add_argument("--check", action="store_true", help="only compare, exit 1 on a difference")
    parser.add_argument("--readme", type=Path, default=REPO_ROOT / "README.md")
    parser.add_argument("--bin", type=Path, default=default_bin_dir())
    opts = parser.parse_args(argv)

    with tempfile.TemporaryDirectory(prefix="keytable-") as tmp:
        wine = WineEnv(Path(tmp) / "prefix", "").create_from_template()
        try:
            printed = {part: generate(wine, opts.bin, part) for part in PARTS}
        finally:
            wine.kill()
    readme = opts.readme.read_text(encoding="utf-8")
    stale = [part for part in PARTS if block(readme, part) != printed[part]]
    if not stale:
        print("%s: the key table and the key names are up to date" % opts.readme)
        return 0
    if opts.check:
        print("%s: %s out of date; run scripts/keytable.sh" % (opts.readme, " and ".join(stale)),
              file=sys.stderr)
        return 1
    for part in stale:
        readme = splice(readme, printed[part], part)
    opts.readme.write_text(readme, encoding="utf-8")
    print("%s: %s rewritten" % (opts.readme, " and ".join(stale)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
