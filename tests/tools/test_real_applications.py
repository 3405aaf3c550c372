"""The program's application rows, as surface.json prints them, against the
record of the real applications (tests/real_applications.py): every
difference is named by application and field."""

from __future__ import annotations

import sys
from pathlib import Path
from typing import List

import pytest

from winebench.surface import APPS, SURFACE

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from real_applications import APPLICATIONS, PROGRAM  # noqa: E402


def differences(where: str, program, real) -> List[str]:
    """Each field in which the program's value differs from the real one."""
    if isinstance(program, dict) and isinstance(real, dict):
        return [line for field in {**real, **program}
                for line in differences("%s.%s" % (where, field), program.get(field, "(none)"),
                                        real.get(field, "(none)"))]
    return [] if program == real else ["%s: the program has %r, the real one %r"
                                       % (where, program, real)]


@pytest.mark.parametrize("app", sorted({*APPS, *APPLICATIONS}))
def test_the_row_is_the_real_application(app):
    found = differences(app, APPS.get(app, "(no row)"), APPLICATIONS.get(app, "(none)"))
    assert not found, "\n".join(found)


def test_the_rows_order_and_what_is_beyond_them_are_the_real_ones():
    program = {"adoption_order": list(APPS), **{field: SURFACE.get(field) for field in PROGRAM}}
    found = differences("program", program, {"adoption_order": list(APPLICATIONS), **PROGRAM})
    assert not found, "\n".join(found)
