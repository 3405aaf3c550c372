"""The guided tour of the README passes: every step of its scripted session
shows what it should, and it leaves one screenshot a step."""

from winebench import tour


def test_the_guided_tour_passes_and_takes_a_picture_of_every_step(tmp_path, bin_dir, capsys):
    out = tmp_path / "tour"
    passed = tour.run_tour(out, bin_dir, keep=tmp_path / "logs")
    report = capsys.readouterr().out
    assert passed, report
    expected = tour.picture_names()
    assert sorted(p.name for p in out.glob("*.png")) == sorted(expected)
    assert all((out / name).stat().st_size > 500 for name in expected)  # a real picture
