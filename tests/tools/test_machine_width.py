"""Which width the test command runs at: the probe that tells whether this
machine runs 32-bit programs, the refusal of --width 32 where it cannot, and
the summary's closing lines."""

from __future__ import annotations

import os
import subprocess
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]
COMMON = REPO / "scripts" / "lib" / "common.sh"
WITHOUT_I386 = REPO.parent / "shared" / "tools" / "without-i386"
WINE32_LOADER = Path("/usr/lib/wine/wine")


def shell(snippet: str, without_i386: bool = False) -> subprocess.CompletedProcess:
    argv = ["bash", "-c", 'source "$0"; ' + snippet, str(COMMON)]
    if without_i386:
        argv = [str(WITHOUT_I386)] + argv
    env = {k: v for k, v in os.environ.items() if k != "MARLOW_WIDTH"}
    return subprocess.run(argv, capture_output=True, text=True, timeout=60, env=env)


def probe(without_i386: bool = False) -> bool:
    result = shell("runs_32bit_programs", without_i386)
    assert result.returncode in (0, 1), result.stderr
    return result.returncode == 0


needs_without_i386 = pytest.mark.skipif(not WITHOUT_I386.exists(),
                                        reason="no %s beside the repository" % WITHOUT_I386)


def test_the_probe_agrees_with_32_bit_wine():
    """Where the probe says yes, set-up has installed 32-bit Wine and its
    loader starts; where it says no, the loader (if installed) cannot."""
    runs = probe()
    if not WINE32_LOADER.exists():
        assert not runs, "32-bit programs run here, but set-up did not install wine32"
        return
    try:
        starts = subprocess.run([str(WINE32_LOADER), "--version"], capture_output=True,
                                timeout=30).returncode == 0
    except OSError as refused:  # "Exec format error"
        starts = False
        assert refused.errno == 8, refused
    assert starts == runs


@needs_without_i386
def test_the_probe_says_no_where_i386_programs_are_refused():
    assert not probe(without_i386=True)
    result = shell("machine_kind; marlow_width", without_i386=True)
    assert result.stdout.split("\n")[:2] == ["this machine does not run 32-bit programs", "64"]


@needs_without_i386
def test_width_32_is_refused_at_once_where_it_cannot_run():
    result = subprocess.run([str(WITHOUT_I386), "bash", str(REPO / "scripts" / "test.sh"),
                             "--width", "32"], capture_output=True, text=True, timeout=60)
    assert result.returncode != 0
    assert "--width 32: this machine does not run 32-bit programs" in result.stderr
    assert "== setup ==" not in result.stdout  # nothing was built or installed


def test_a_forced_width_must_be_32_or_64():
    result = subprocess.run(["bash", str(REPO / "scripts" / "test.sh"), "--width", "16"],
                            capture_output=True, text=True, timeout=60)
    assert result.returncode != 0 and "usage" in result.stderr


def _junit(path: Path, cases: str) -> Path:
    path.write_text('<testsuites><testsuite name="s">%s</testsuite></testsuites>' % cases)
    return path


def test_the_summary_ends_with_the_width_and_what_it_skipped(tmp_path):
    unit = _junit(tmp_path / "unit.xml", '<testcase name="a"/><testcase name="b"/>')
    e2e = _junit(tmp_path / "e2e.xml",
                 '<testcase name="c"><skipped message="of the 32-bit product: the installer"/>'
                 '</testcase><testcase name="d"><skipped message="of the 32-bit product: PE32"/>'
                 '</testcase><testcase name="e"><skipped message="no screen"/></testcase>'
                 '<testcase name="f"><failure message="x"/></testcase>')
    out = subprocess.run(["/usr/bin/python3", str(REPO / "scripts" / "lib" / "results.py"),
                          "--width", "64", "--why", "this machine does not run 32-bit programs",
                          "unit=%s" % unit, "e2e=%s" % e2e, "gone=%s" % (tmp_path / "none.xml")],
                         capture_output=True, text=True, timeout=30, check=True).stdout
    assert out.splitlines()[-2:] == [
        "width: 64 (this machine does not run 32-bit programs); "
        "2 tests of the 32-bit product skipped",
        "total: 2 passed, 2 failed, 3 skipped"]
