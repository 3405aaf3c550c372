"""The bench needs nothing but what scripts/setup.sh installs: a program that
a script, tool or test starts and no package of set-up's list provides fails
here, naming the file and line that starts it, instead of on a fresh machine."""

from winebench import programs


def test_every_program_started_comes_from_a_package_setup_installs():
    uses = programs.program_uses()
    assert len({u.program for u in uses}) > 20, "the scan found too few programs: %s" % uses
    wrong = programs.problems()
    assert not wrong, "\n".join(wrong)
