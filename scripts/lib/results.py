"""Counts the test cases of JUnit XML files (CTest's and pytest's) and prints
one line per file, the width that ran with what it skipped, and a closing
total:  results.py [--width N --why TEXT] LABEL=FILE ...
A missing or unreadable file counts as one failure."""

import argparse
import xml.etree.ElementTree as ET

# The words that the bench's skip reason for a test of what exists only for
# the 32-bit program starts with (tests/e2e/conftest.py).
ONLY_32BIT = "of the 32-bit product"


def count(path):
    """(passed, failed, skipped, skipped of the 32-bit product) of a JUnit
    file, None when it is missing."""
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        return None
    passed = failed = skipped = only32 = 0
    for case in root.iter("testcase"):
        tags = {child.tag: child for child in case}
        if tags.keys() & {"failure", "error"}:
            failed += 1
        elif "skipped" in tags:
            skipped += 1
            only32 += ONLY_32BIT in (tags["skipped"].get("message") or "")
        else:
            passed += 1
    return passed, failed, skipped, only32


def line(counts):
    return "%d passed, %d failed, %d skipped" % tuple(counts[:3])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--width", type=int)
    parser.add_argument("--why", default="")
    parser.add_argument("results", nargs="*", metavar="LABEL=FILE")
    args = parser.parse_args()
    total = [0, 0, 0, 0]
    for arg in args.results:
        label, path = arg.split("=", 1)
        counts = count(path)
        print("%-12s %s" % (label, "no results" if counts is None else line(counts)))
        # A run that left no results broke before reporting: one failure.
        for i, n in enumerate(counts or (0, 1, 0, 0)):
            total[i] += n
    if args.width:
        print("width: %d (%s); %d test%s of the 32-bit product skipped"
              % (args.width, args.why, total[3], "" if total[3] == 1 else "s"))
    print("total: " + line(total))


if __name__ == "__main__":
    main()
