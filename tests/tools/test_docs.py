"""The README stays true to the program: its key table and its list of key
names are what keytable.exe prints from the program's own tables, and every
picture it shows is one the guided tour takes."""

import re
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]

from winebench import keytable, tour
from winebench.scenario import default_bin_dir
from winebench.surface import APPS, PROFILES
from winebench.wine import WineEnv

BIN = default_bin_dir()
README = (REPO / "README.md").read_text(encoding="utf-8")


@pytest.fixture(scope="module")
def printed(tmp_path_factory):
    wine = WineEnv(tmp_path_factory.mktemp("wine") / "prefix", "").create_from_template()
    try:
        yield {part: keytable.generate(wine, BIN, part) for part in keytable.PARTS}
    finally:
        wine.kill()


@pytest.mark.parametrize("part", keytable.PARTS)
def test_each_generated_part_is_the_one_the_program_prints(printed, part):
    assert keytable.block(README, part) == printed[part], "run scripts/keytable.sh"


def test_the_key_table_has_a_row_for_every_button_and_a_column_for_every_mode(printed):
    rows = [line for line in printed["key table"].splitlines() if line.startswith("| ")]
    header, body = rows[0], rows[1:]
    # Key, code, no TV application, media keys, one per application, then
    # one per built-in profile.
    bars = 1 + 2 + 2 + len(APPS) + len(PROFILES)
    assert header.count("|") == bars
    codes = [int(row.split("|")[2]) for row in body]
    assert len(codes) == len(set(codes)) > 40
    assert all(row.count("|") == bars for row in body)


def test_every_picture_is_one_the_tour_takes():
    names = set(tour.picture_names())
    pictures = re.findall(r"!\[[^\]]*\]\((docs/tour/[^)]+)\)", README)
    assert pictures, "the README shows no picture of the tour"
    for picture in pictures:
        assert Path(picture).name in names, picture
        assert (REPO / picture).is_file(), picture
