"""The README's table of what every remote key does, printed by keytable.exe
from the program's own key tables, spliced between two marker lines.

    python3 -m winebench.keytable [--check] [--readme FILE] [--bin DIR]

Without --check the README is rewritten in place when its table is out of
date; with --check nothing is written and the exit status is 1 when the table
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


def generate(wine: WineEnv, bin_dir: Path) -> str:
    """The table as keytable.exe prints it, with Unix line ends."""
    result = wine.run([bin_dir / "keytable.exe"], check=True)
    return result.stdout.replace("\r\n", "\n")


def block(readme: str) -> str:
    """The text between the marker lines (exclusive)."""
    start = readme.index(BEGIN) + len(BEGIN) + 1
    return readme[start:readme.index(END, start)]


def splice(readme: str, table: str) -> str:
    """The README with the text between the marker lines replaced by table."""
    start = readme.index(BEGIN) + len(BEGIN) + 1
    end = readme.index(END, start)
    return readme[:start] + table + readme[end:]


def main(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(prog="scripts/keytable.sh")
    parser.add_argument("--check", action="store_true", help="only compare, exit 1 on a difference")
    parser.add_argument("--readme", type=Path, default=REPO_ROOT / "README.md")
    parser.add_argument("--bin", type=Path, default=default_bin_dir())
    opts = parser.parse_args(argv)

    with tempfile.TemporaryDirectory(prefix="keytable-") as tmp:
        wine = WineEnv(Path(tmp) / "prefix", "").create_from_template()
        try:
            table = generate(wine, opts.bin)
        finally:
            wine.kill()
    readme = opts.readme.read_text(encoding="utf-8")
    if block(readme) == table:
        print("%s: the key table is up to date" % opts.readme)
        return 0
    if opts.check:
        print("%s: the key table is out of date; run scripts/keytable.sh" % opts.readme,
              file=sys.stderr)
        return 1
    opts.readme.write_text(splice(readme, table), encoding="utf-8")
    print("%s: key table rewritten" % opts.readme)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
