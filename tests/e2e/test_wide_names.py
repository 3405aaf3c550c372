"""Names outside the active code page (Wine's is 1252 here): a user whose
application data folder is named in Cyrillic, and a player whose file name is
Chinese. The program finds profiles.ini in that folder, knows the player in
front by its file name and types it the keys of the profile the file gives
it; the key display shows the profile's Cyrillic name.

The prefix is the module's own: its AppData shell folder is moved."""

from __future__ import annotations

import shutil

from remote_steps import App, chord_strokes, opened_bench, press, selector, start_remote, wait_new
from winebench import fakeapp
from winebench.scenario import KEY_DISPLAY_CLASS
from winebench.surface import KEYS
from winebench.wine import reg_text, wait_for

OWN_PREFIX = True
SHELL_FOLDERS = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
APPDATA = "C:\\users\\Ольга\\AppData\\Roaming"
PLAYER_DIR = "C:\\Players\\wide"
PLAYER_EXE = "播放器.exe"
PROFILE = "Плеер Ольги"
VK_SPACE = 0x20


def test_profiles_in_a_cyrillic_user_folder_reach_a_player_named_in_chinese(wine, tmp_path):
    with opened_bench(wine, tmp_path) as bench:
        bench.wine.import_reg(reg_text(SHELL_FOLDERS, {"AppData": APPDATA}))
        ini = wine.to_unix(APPDATA) / "Marlow Remote Control" / "profiles.ini"
        ini.parent.mkdir(parents=True)
        ini.write_bytes(("[%s]\r\nprogram = %s\r\nPlay = Space\r\n" % (PROFILE, PLAYER_EXE))
                        .encode("utf-8"))
        product, card = start_remote(bench, DefaultTVAPP=selector("beyondtv"), Profiles=1,
                                     ShowKeys=1)
        # The fake player reads its settings with the A calls: given on its
        # command line, its log at an ASCII path.
        paths = fakeapp.installed_paths(wine.drive_c, "player.exe", PLAYER_DIR)
        paths.directory.mkdir(parents=True)
        shutil.copyfile(bench.binary(fakeapp.EXE_NAME), paths.directory / PLAYER_EXE)
        wine.start([PLAYER_DIR + "\\" + PLAYER_EXE, "--window", "FakePlayer.wide|Wide player",
                    "--log", wine.to_win(paths.log)])
        player = App(bench, PLAYER_EXE, paths, 1)
        player.wait_windows()
        bench.to_front(player.hwnd())

        press(card, KEYS["Play"])
        assert wait_new(player.strokes, 0, 2) == chord_strokes(VK_SPACE)
        text = "%s: Play" % PROFILE
        wait_for(lambda: [w["title"] for w in bench.probe.find(cls=KEY_DISPLAY_CLASS, visible=True)]
                 == [text], 10, message=text)
