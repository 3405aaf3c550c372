"""scripts/run.sh's commands work as it prints them, typed into a shell that
has neither the run's display nor Debian's python3 first on its PATH (as
with a pyenv Python without Pillow), with spaces in the run's folders."""

import os
import re
import signal
import subprocess
from pathlib import Path

from PIL import Image

from winebench import cardemu, fakeapp
from winebench.wine import PREFIX_TOOL, REPO_ROOT, WIDTH, wait_for

NUMPAD5 = 0x65  # what Beyond TV gets for the key 5 ("tap 4")


def _typed(command: str, cwd: Path, path: str) -> None:
    """Runs a printed command line as a person would, in a shell of their own
    (with the TMPDIR they ran the run with: Wine keeps its server's socket there)."""
    env = {"PATH": path, "HOME": os.environ.get("HOME", "/root")}
    if "TMPDIR" in os.environ:
        env["TMPDIR"] = os.environ["TMPDIR"]
    subprocess.run(["bash", "-c", command], cwd=cwd, check=True, timeout=60, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def test_the_printed_screenshot_key_and_start_commands_work_as_printed(tmp_path, bin_dir):
    other_python = tmp_path / "other python"
    other_python.mkdir()
    (other_python / "python3").write_text("#!/bin/sh\necho 'No module named PIL' >&2\nexit 1\n")
    (other_python / "python3").chmod(0o755)
    shell_path = "%s:/usr/local/bin:/usr/bin:/bin" % other_python
    prefix, work = tmp_path / "run prefix", tmp_path / "run work"
    env = dict(os.environ, PYTHONPATH=str(REPO_ROOT / "tools"), MARLOW_WIDTH=str(WIDTH))
    env.pop("DISPLAY", None)
    subprocess.run([str(PREFIX_TOOL), "clone", str(prefix)], check=True, env=env, timeout=900,
                   stdout=subprocess.DEVNULL)
    printed = tmp_path / "printed.txt"
    with open(printed, "w") as out:
        run = subprocess.Popen(["/usr/bin/python3", "-m", "winebench.scenario", "run", "--prefix",
                                str(prefix), "--work", str(work), "--bin", str(bin_dir)],
                               env=env, stdout=out, stderr=subprocess.STDOUT)
    try:
        text = wait_for(lambda: "Quit from" in printed.read_text() and printed.read_text(), 180,
                        message="the run printed its commands")
        screenshot = re.search(r"Screenshot: (.*)", text).group(1)
        tap = re.search(r"tap a key: +(.*)", text).group(1)
        app_log = Path(re.search(r"beyondtv installed as .* \(log (.*)\)", text).group(1))
        start = re.search(r"beyondtv installed.*\n +start it by hand: +(.*)", text).group(1)

        _typed(screenshot, tmp_path, shell_path)
        with Image.open(tmp_path / "shot.png") as shot:
            assert shot.size == (1024, 768)

        _typed(start, tmp_path, shell_path)
        wait_for(lambda: [w for w in fakeapp.events(fakeapp.read_log(app_log), "window")
                          if fakeapp.hwnd_value(w["hwnd"])], 60,
                 message="Beyond TV, started by hand, opened its windows")
        # As a person would, once the program polls the card (the run does
        # not wait for it before printing).
        card_log = Path(re.search(r"Card log: (.*)", text).group(1))
        cardemu.wait_for_log(card_log, lambda entries: cardemu.requests(entries, "status"), 120)
        _typed(tap, tmp_path, shell_path)
        wait_for(lambda: [m for m in fakeapp.messages(fakeapp.read_log(app_log), "WM_KEYDOWN")
                          if m["wParam"] == NUMPAD5], 60,
                 message="the tap written to the feed reached Beyond TV")
    finally:
        run.send_signal(signal.SIGTERM)
        run.wait(120)
        subprocess.run([str(PREFIX_TOOL), "remove", str(prefix)], env=env, timeout=120)
