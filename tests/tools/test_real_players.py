"""The program's built-in profiles, as surface.json prints them, against the
record of the real players' own keys (tests/real_players.py): every
difference is named by profile and key, with the player's source."""

from __future__ import annotations

import sys
from pathlib import Path
from typing import List

import pytest

from winebench.surface import PROFILES

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from real_players import APP_COMMAND, PLAYERS, VK  # noqa: E402

PROGRAM = {profile["name"]: profile for profile in PROFILES}
VK_NAME = {code: name for name, code in VK.items()}
COMMAND_NAME = {code: name for name, code in APP_COMMAND.items()}


def action_of(row: dict) -> str:
    """A program's row as the record writes an action: "Ctrl+B", "AppCommand:VolumeUp"."""
    if row["kind"] == "app_command":
        return "AppCommand:" + COMMAND_NAME.get(row["command"], str(row["command"]))
    if row["kind"] == "chord":
        return "+".join(VK_NAME.get(key, chr(key) if 0x30 <= key <= 0x5A else hex(key))
                        for key in row["keys"])
    return row["kind"].capitalize()


def rows_of(profile: dict) -> dict:
    """The program's rows by label, a long press's as "<label>.hold"."""
    return {**{row["key"]: row for row in profile["keys"]},
            **{row["key"] + ".hold": row for row in profile.get("hold", [])}}


def differences(name: str) -> List[str]:
    program, real = PROGRAM.get(name), PLAYERS.get(name)
    if program is None or real is None:
        return ["%s: %s" % (name, "the program has no such profile" if program is None
                            else "no real player has this profile")]
    found = ["%s %s: the program has %r, the real one %r" % (name, field, program.get(field), real[field])
             for field in ("programs", "classes", "titles") if program.get(field) != real[field]]
    rows = rows_of(program)
    for key in sorted({*rows, *real["keys"]}):
        row, want = rows.get(key), real["keys"].get(key)
        if want is None or want["action"] is None:
            if row is not None:
                found.append("%s %s: the program has %s, the player has no key for it%s" % (
                    name, key, action_of(row), " (%s)" % want["source"] if want else ""))
            continue
        where = "%s %s (%s; %s)" % (name, key, want["function"], want["source"])
        if row is None:
            found.append("%s: the program leaves it out, the player's key is %s" % (where, want["action"]))
            continue
        if action_of(row) != want["action"]:
            found.append("%s: the program has %s, the player's key is %s" % (
                where, action_of(row), want["action"]))
        if row.get("repeats") != want["repeats"]:
            found.append("%s: the program's row repeats %s, the record says %s" % (
                where, row.get("repeats"), want["repeats"]))
    return found


@pytest.mark.parametrize("name", sorted({*PROGRAM, *PLAYERS}))
def test_the_profile_is_the_real_players(name):
    found = differences(name)
    assert not found, "\n".join(found)
