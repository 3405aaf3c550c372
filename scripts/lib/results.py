"""Counts the test cases of JUnit XML files (CTest's and pytest's) and prints
one line per file and a closing total:  results.py LABEL=FILE ...
A missing or unreadable file counts as one failure."""

import sys
import xml.etree.ElementTree as ET


def count(path):
    """(passed, failed, skipped) of a JUnit file, None when it is missing."""
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        return None
    passed = failed = skipped = 0
    for case in root.iter("testcase"):
        tags = {child.tag for child in case}
        if tags & {"failure", "error"}:
            failed += 1
        elif "skipped" in tags:
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def line(counts):
    return "%d passed, %d failed, %d skipped" % counts


def main(args):
    total = [0, 0, 0]
    for arg in args:
        label, path = arg.split("=", 1)
        counts = count(path)
        print("%-12s %s" % (label, "no results" if counts is None else line(counts)))
        # A run that left no results broke before reporting: one failure.
        for i, n in enumerate(counts or (0, 1, 0)):
            total[i] += n
    print("total: " + line(tuple(total)))


if __name__ == "__main__":
    main(sys.argv[1:])
