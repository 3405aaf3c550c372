"""The real players' own default keys, kept apart from the program's profiles
so that a wrong row fails: for each built-in profile, the windows it is for
and, for each remote key, the function meant (the plan of the README's
"Profiles for other players") and the player's own key for it in full-screen
playback, with where the player says so.

A table's line: the remote key ("OK.hold" for its long press), then "step"
(a held key repeats the function: a short seek, the volume, a move), "once"
(once per press: a toggle, an item, a longer jump, a speed step) or "-" (left
out, the note says why), then the action: a key or chord typed ("Ctrl+B"), or
"AppCommand:<name>"; after "|" the function, after the next "|" the source,
following the table's own."""

# The virtual keys of the names used below (WinUser.h); letters and digits are
# their own characters.
VK = {"Backspace": 0x08, "Tab": 0x09, "Enter": 0x0D, "Shift": 0x10, "Ctrl": 0x11, "Alt": 0x12,
      "Space": 0x20, "PageUp": 0x21, "PageDown": 0x22, "Left": 0x25, "Up": 0x26, "Right": 0x27,
      "Down": 0x28, "Win": 0x5B, "F4": 0x73, "F7": 0x76, "F8": 0x77, "F9": 0x78, "F10": 0x79, "F11": 0x7A,
      "BrowserHome": 0xAC, "MediaNext": 0xB0, "MediaPrevious": 0xB1, "MediaStop": 0xB2,
      "MediaPlayPause": 0xB3, "Comma": 0xBC, "Period": 0xBE, "LeftBracket": 0xDB,
      "Backslash": 0xDC, "RightBracket": 0xDD}
# WM_APPCOMMAND's commands (WinUser.h).
APP_COMMAND = {"BrowserBack": 1, "VolumeMute": 8, "VolumeDown": 9, "VolumeUp": 10}


def table(source: str, text: str) -> dict:
    """The rows of a table by remote key: function, action (None: left out),
    source, repeats."""
    rows = {}
    for line in filter(None, map(str.strip, text.splitlines())):
        head, function, where = (field.strip() for field in line.split("|", 2))
        key, mode, action = head.split()
        rows[key] = {"function": function, "action": None if mode == "-" else action,
                     "source": source + where, "repeats": mode == "step"}
    return rows


# VLC 3.0 on Windows: the hot keys of src/libvlc-module.c, its "#else /* Non
# Mac OS X */" block (the _WIN32 ones where it has two); jump sizes 3 s
# (extrashort), 10 s (short), 60 s (medium).
VLC = {"programs": ["vlc.exe"], "classes": [], "titles": [], "keys": table(
    "videolan/vlc src/libvlc-module.c @008e8cef: ", """
    Full   once F           | full screen              | KEY_TOGGLE_FULLSCREEN "f"
    Play   once Space       | play/pause               | KEY_PLAY_PAUSE "Space"
    Stop   once S           | stop                     | KEY_STOP "s"
    End    once S           | stop                     | KEY_STOP "s"
    Left   step Alt+Left    | short seek back (10 s)   | KEY_JUMP_MSHORT "Alt+Left"
    Right  step Alt+Right   | short seek on (10 s)     | KEY_JUMP_PSHORT "Alt+Right"
    Rew    step Shift+Left  | step back (3 s)          | KEY_JUMP_MEXTRASHORT "Shift+Left"
    FF     step Shift+Right | step on (3 s)            | KEY_JUMP_PEXTRASHORT "Shift+Right"
    Skip-  once Ctrl+Left   | longer jump back (1 min) | KEY_JUMP_MMEDIUM "Ctrl+Left"
    Skip+  once Ctrl+Right  | longer jump on (1 min)   | KEY_JUMP_PMEDIUM "Ctrl+Right"
    Vol+   step Ctrl+Up     | volume up                | KEY_VOL_UP "Ctrl+Up"
    Vol-   step Ctrl+Down   | volume down              | KEY_VOL_DOWN "Ctrl+Down"
    Mute   once M           | mute                     | KEY_VOL_MUTE "m"
    Prev   once P           | previous item            | KEY_PREV "p"
    Next   once N           | next item                | KEY_NEXT "n"
    """)}

# MPC-HC's default keys, which MPC-BE keeps but for full screen: the arrows
# jump (medium, 5 s), Shift+arrows to a key frame; the large jump has no key
# (Ctrl+wheel), so Skip-/Skip+ are Previous and Next.
_MPC = """
    Full   once Alt+Enter   | full screen         | ID_VIEW_FULLSCREEN VK_RETURN FALT
    Play   once Space       | play/pause          | ID_PLAY_PLAYPAUSE VK_SPACE
    Stop   once Period      | stop                | ID_PLAY_STOP VK_OEM_PERIOD
    End    once Period      | stop                | ID_PLAY_STOP VK_OEM_PERIOD
    Left   step Left        | seek back (5 s)     | ID_PLAY_SEEKBACKWARDMED VK_LEFT
    Right  step Right       | seek on (5 s)       | ID_PLAY_SEEKFORWARDMED VK_RIGHT
    Rew    step Shift+Left  | back to a key frame | ID_PLAY_SEEKKEYBACKWARD VK_LEFT FSHIFT
    FF     step Shift+Right | on to a key frame   | ID_PLAY_SEEKKEYFORWARD VK_RIGHT FSHIFT
    Skip-  once PageUp      | previous item       | ID_NAVIGATE_SKIPBACK VK_PRIOR
    Skip+  once PageDown    | next item           | ID_NAVIGATE_SKIPFORWARD VK_NEXT
    Vol+   step Up          | volume up           | ID_VOLUME_UP VK_UP
    Vol-   step Down        | volume down         | ID_VOLUME_DOWN VK_DOWN
    Mute   once Ctrl+M      | mute                | ID_VOLUME_MUTE 'M' FCONTROL
    Prev   once PageUp      | previous item       | ID_NAVIGATE_SKIPBACK VK_PRIOR
    Next   once PageDown    | next item           | ID_NAVIGATE_SKIPFORWARD VK_NEXT
    """
MPC_HC = {"programs": ["mpc-hc.exe", "mpc-hc64.exe"], "classes": ["MediaPlayerClassicW"],
          "titles": [], "keys": table("clsid2/mpc-hc src/mpc-hc/AppSettings.cpp @03dface2, "
                                      "default_wmcmds: ", _MPC)}
_MPC_BE = "Aleksoid1978/MPC-BE src/apps/mplayerc/AppSettings.cpp, CAppSettings(), addcmd: "
MPC_BE = {"programs": ["mpc-be.exe", "mpc-be64.exe"], "classes": ["MPC-BE"], "titles": [],
          "keys": {**table(_MPC_BE, _MPC), **table(_MPC_BE, """
    Full   once Ctrl+Enter  | full screen         | ID_VIEW_FULLSCREEN VK_RETURN FCONTROL (Alt+Enter is ID_VIEW_FULLSCREEN_2)
    """)}}

# Kodi: system/keymaps/keyboard.xml. In full-screen video its <FullscreenVideo>
# section (lines 400-461) comes before <global> (lines 27-224).
_KEYMAP = "xbmc/xbmc system/keymaps/keyboard.xml @010c4b7a line "
KODI = {"programs": ["kodi.exe"], "classes": [], "titles": [], "keys": table(_KEYMAP, """
    Full    once Backslash     | toggle full screen    | 109 <backslash>ToggleFullScreen (Tab, 80, is the GUI/video switch)
    Play    once Space         | play/pause            | 75 <space>Pause
    Stop    once X             | stop                  | 77 <x>Stop
    End     once X             | stop                  | 77 <x>Stop
    Up      step Up            | move up               | 36 <up>Up (in video 434, ChapterOrBigStepForward)
    Down    step Down          | move down             | 37 <down>Down (in video 435, ChapterOrBigStepBack)
    Left    step Left          | move left, step back  | 34 <left>Left; in video 432 StepBack
    Right   step Right         | move right, step on   | 35 <right>Right; in video 433 StepForward
    OK      once Enter         | select                | 44 <return>Select (in video 413, OSD)
    OK.hold once C             | context menu          | 73 <c>ContextMenu, as 45 <return mod="longpress">ContextMenu (in video 444, C is Playlist)
    Back    once Backspace     | back                  | 55 <backspace>Back (in video 406, leave full screen)
    Home    once BrowserHome   | home                  | 138 <browser_home>ActivateWindow(Home)
    Info    once I             | information           | 67 <i>Info; in video 421
    Ch+     once PageUp        | page up; next item    | 40 <pageup>PageUp; in video 450 SkipNext
    Ch-     once PageDown      | page down; prev. item | 41 <pagedown>PageDown; in video 451 SkipPrevious
    Rew     once R             | rewind, a speed step  | 403 <r>Rewind (FullscreenVideo)
    FF      once F             | fast forward, a speed | 402 <f>FastForward (FullscreenVideo)
    Skip-   once RightBracket  | big step back         | 412 <closesquarebracket>BigStepBack (Comma, 405, is StepBack)
    Skip+   once LeftBracket   | big step on           | 411 <opensquarebracket>BigStepForward (Period, 404, is StepForward)
    Vol+    step F10           | volume up             | 204 <f10>VolumeUp (the MCE keys)
    Vol-    step F9            | volume down           | 205 <f9>VolumeDown
    Mute    once F8            | mute                  | 206 <f8>Mute
    Prev    once MediaPrevious | previous item         | 144 <prev_track>SkipPrevious (Ctrl+B, 200, is CreateBookmark in video, 457)
    Next    once Ctrl+F        | next item             | 199 <f mod="ctrl">SkipNext (the MCE Skip)
    """)}

# Windows Media Player 12: Microsoft's "Windows Media Player keyboard
# shortcuts"; it has no seek key, and its rewind and fast forward are speeds.
# Windows 11's Media Player keeps its keys for play, the items and the volume.
_MICROSOFT = """
    Play   once Ctrl+P       | play/pause            | Ctrl+P, play or pause
    Skip-  once Ctrl+B       | previous item         | Ctrl+B, previous
    Skip+  once Ctrl+F       | next item             | Ctrl+F, next
    Vol+   step F9           | volume up             | F9, volume up
    Vol-   step F8           | volume down           | F8, volume down
    Mute   once F7           | mute                  | F7, mute
    Prev   once Ctrl+B       | previous item         | Ctrl+B, previous
    Next   once Ctrl+F       | next item             | Ctrl+F, next
    """
WMP = {"programs": ["wmplayer.exe"], "classes": [], "titles": [], "keys": table(
    "Microsoft, Windows Media Player keyboard shortcuts: ", _MICROSOFT + """
    Full   once Alt+Enter    | full screen           | Alt+Enter, full-screen video
    Stop   once Ctrl+S       | stop                  | Ctrl+S, stop
    End    once Ctrl+S       | stop                  | Ctrl+S, stop
    Rew    once Ctrl+Shift+B | rewind, a speed       | Ctrl+Shift+B, rewind
    FF     once Ctrl+Shift+F | fast forward, a speed | Ctrl+Shift+F, fast forward
    """)}

# Windows Media Center (Vista, 7): the keys its remote sends, as Kodi's
# keyboard.xml quotes them from msdn.microsoft.com/en-us/library/bb189249
# (lines 191-215), and Microsoft's "Windows Media Center keyboard shortcuts".
MEDIA_CENTER = {"programs": ["ehshell.exe"], "classes": [], "titles": [], "keys": table("", """
    Full   once Alt+Enter     | full screen          | Media Center shortcuts: Alt+Enter
    Play   once Ctrl+P        | play/pause           | keyboard.xml 196: Ctrl+P, Pause
    Stop   once Ctrl+Shift+S  | stop                 | keyboard.xml 195: Ctrl+Shift+S, Stop
    End    once Ctrl+Shift+S  | stop                 | keyboard.xml 195: Ctrl+Shift+S, Stop
    Up     step Up            | move up              | Media Center shortcuts: the arrows
    Down   step Down          | move down            | Media Center shortcuts: the arrows
    Left   step Left          | move left            | Media Center shortcuts: the arrows
    Right  step Right         | move right           | Media Center shortcuts: the arrows
    OK     once Enter         | select               | Media Center shortcuts: Enter, OK
    Back   once Backspace     | back                 | Media Center shortcuts: Backspace, Back
    Home   once Win+Alt+Enter | Start                | Media Center shortcuts: Windows logo key+Alt+Enter
    Info   once Ctrl+D        | details              | keyboard.xml 201: Ctrl+D, MCE Details
    Record once Ctrl+R        | record               | keyboard.xml 202: Ctrl+R, Record
    TV     once Ctrl+T        | live TV              | keyboard.xml 213: Ctrl+T, MCE Live TV
    Ch+    once PageUp        | channel up           | Media Center shortcuts: Page Up, channel up
    Ch-    once PageDown      | channel down         | Media Center shortcuts: Page Down, channel down
    Rew    once Ctrl+Shift+B  | rewind, a speed step | keyboard.xml 198: Ctrl+Shift+B, Rew
    FF     once Ctrl+Shift+F  | fast forward, speed  | keyboard.xml 197: Ctrl+Shift+F, Fwd
    Skip-  once Ctrl+B        | replay (jump back)   | keyboard.xml 200: Ctrl+B, Replay
    Skip+  once Ctrl+F        | skip (jump on)       | keyboard.xml 199: Ctrl+F, Skip
    Vol+   step F10           | volume up            | keyboard.xml 204: F10, MCE Vol up
    Vol-   step F9            | volume down          | keyboard.xml 205: F9, MCE Vol down
    Mute   once F8            | mute                 | keyboard.xml 206: F8, MCE mute
    Prev   once Ctrl+B        | previous (replay)    | keyboard.xml 200: Ctrl+B, Replay
    Next   once Ctrl+F        | next (skip)          | keyboard.xml 199: Ctrl+F, Skip
    """)}

# PotPlayer: its own hot key list (F1, as PotPlayer prints it), kept in a
# user's note; Page Up and Page Down change the file, or the channel on TV.
POTPLAYER = {"programs": ["PotPlayerMini.exe", "PotPlayerMini64.exe"], "classes": [],
             "titles": [], "keys": table("me7/obsidian2022 PotPlayer.md @e4fc34d9 line ", """
    Full   once Enter            | full screen           | 39 Enter, Fullscreen (Keep AR)
    Play   once Space            | play/pause            | 44 Space, Play/Pause Playback
    Stop   once F4               | stop (close)          | 230 F4, Close Playback
    End    once F4               | stop (close)          | 230 F4, Close Playback
    Info   once Tab              | information           | 37 Tab, Display Full Playback Info on Screen
    Left   step Left             | seek back (5 s)       | 57 Left, 5 Sec. Backward
    Right  step Right            | seek on (5 s)         | 68 Right, 5 Sec. Forward
    Rew    step Ctrl+Shift+Left  | back to a key frame   | 60 Ctrl+Shift+Left, Previous keyframe
    FF     step Ctrl+Shift+Right | on to a key frame     | 71 Ctrl+Shift+Right, Next keyframe
    Skip-  once Shift+Left       | longer jump back      | 58 Shift+Left, 1 Min. Backward
    Skip+  once Shift+Right      | longer jump on        | 69 Shift+Right, 1 Min. Forward
    Vol+   step Up               | volume up             | 63 Up, Increase Volume
    Vol-   step Down             | volume down           | 74 Down, Decrease Volume
    Mute   once M                | mute                  | 146 M, Mute
    Ch+    once PageUp           | next channel          | 45 PgUp, TV Next Channel
    Ch-    once PageDown         | previous channel      | 49 PgDn, TV Previous Channel
    Prev   once PageUp           | previous file         | 45 PgUp (line 4: it changes the file)
    Next   once PageDown         | next file             | 49 PgDn (line 4: it changes the file)
    """)}

# mpv: its default bindings, etc/input.conf.
MPV = {"programs": ["mpv.exe"], "classes": [], "titles": [], "keys": table(
    "mpv-player/mpv etc/input.conf @013254c9 line ", """
    Full   once F             | full screen              | 147 f cycle fullscreen
    Play   once Space         | play/pause               | 95 SPACE cycle pause
    Stop   -    -             | (no stop key)            | 162 STOP quit; stop is unbound
    End    -    -             | (no stop key)            | 162 STOP quit; stop is unbound
    Left   step Left          | seek back (5 s)          | 50 LEFT seek -5
    Right  step Right         | seek on (5 s)            | 49 RIGHT seek 5
    Rew    step Shift+Left    | step back (1 s)          | 56 Shift+LEFT seek -1 exact
    FF     step Shift+Right   | step on (1 s)            | 55 Shift+RIGHT seek 1 exact
    Skip-  once Down          | longer jump back (1 min) | 52 DOWN seek -60
    Skip+  once Up            | longer jump on (1 min)   | 51 UP seek 60
    Vol+   step 0             | volume up                | 118 0 add volume 2
    Vol-   step 9             | volume down              | 115 9 add volume -2
    Mute   once M             | mute                     | 121 m cycle mute
    Prev   once MediaPrevious | previous item            | 166 PREV playlist-prev (the media key)
    Next   once MediaNext     | next item                | 165 NEXT playlist-next (the media key)
    """)}

# Any page in a browser gets only what every site understands: the media keys,
# which browsers hand to the page's media session (developer.mozilla.org/en-US/
# docs/Web/API/Media_Session_API: "platform media keys such as hardware keys
# found on keyboards"), the system's volume and the browser's Back. Nothing
# typed: a letter would go to any text field or site.
_ANY_PAGE = """
    Play   once MediaPlayPause         | play/pause    | Media Session API, play/pause
    Stop   once MediaStop              | stop          | Media Session API, stop
    End    once MediaStop              | stop          | Media Session API, stop
    Prev   once MediaPrevious          | previous item | Media Session API, previoustrack
    Next   once MediaNext              | next item     | Media Session API, nexttrack
    Vol+   step AppCommand:VolumeUp    | volume up     | WM_APPCOMMAND, APPCOMMAND_VOLUME_UP
    Vol-   step AppCommand:VolumeDown  | volume down   | WM_APPCOMMAND, APPCOMMAND_VOLUME_DOWN
    Mute   once AppCommand:VolumeMute  | mute          | WM_APPCOMMAND, APPCOMMAND_VOLUME_MUTE
    Back   once AppCommand:BrowserBack | back          | WM_APPCOMMAND, APPCOMMAND_BROWSER_BACKWARD
    """
BROWSERS = ["chrome.exe", "msedge.exe", "firefox.exe", "brave.exe", "opera.exe", "vivaldi.exe"]
BROWSER = {"programs": BROWSERS, "classes": [], "titles": [], "keys": table("", _ANY_PAGE)}

# YouTube, by the window's title ("Video - YouTube - Google Chrome"): its own
# keys on top of any page's, as its help page and youtube.com's own list of
# shortcuts (kept in github.com/code-charity/youtube/wiki) give them.
YOUTUBE = {"programs": BROWSERS, "classes": [], "titles": ["* - YouTube*"], "keys": {
    **table("", _ANY_PAGE), **table("support.google.com/youtube/answer/7631406: ", """
    Full   once F       | full screen      | f, full screen
    Play   once K       | play/pause       | k, pause/play in player
    Mute   once M       | mute             | m, mute/unmute the video
    Left   step Left    | seek back (5 s)  | left arrow, seek backward 5 seconds
    Right  step Right   | seek on (5 s)    | right arrow, seek forward 5 seconds
    Rew    step J       | seek back (10 s) | j, seek backward 10 seconds
    FF     step L       | seek on (10 s)   | l, seek forward 10 seconds
    Skip-  once Shift+P | previous video   | Shift+p, previous video (in a playlist)
    Skip+  once Shift+N | next video       | Shift+n, next video
    Prev   once Shift+P | previous video   | Shift+p, previous video (in a playlist)
    Next   once Shift+N | next video       | Shift+n, next video
    """)}}

# Windows 10 and 11's Store apps, by their own program (the process of the
# CoreWindow that the ApplicationFrameWindow in front hosts).
MEDIA_PLAYER = {"programs": ["Microsoft.Media.Player.exe"], "classes": [], "titles": [],
                "keys": table("Microsoft, Keyboard shortcuts in Media Player: ", _MICROSOFT + """
    Full   once F11    | full screen   | F11, full screen
    """)}
FILMS_AND_TV = {"programs": ["Video.UI.exe"], "classes": [], "titles": [], "keys": table(
    "Windows 8.1: The Missing Manual, ch. 4, Video (oreilly.com/library/view/windows-81-the/"
    "9781449371777/ch04s28.html): ", """
    Play   once Space  | play/pause | the space bar starts or stops playback
    """)}

# Every built-in profile, by the name the key display shows.
PLAYERS = {"VLC": VLC, "MPC-HC": MPC_HC, "MPC-BE": MPC_BE, "Kodi": KODI,
           "Windows Media Player": WMP, "Windows Media Center": MEDIA_CENTER,
           "PotPlayer": POTPLAYER, "mpv": MPV, "Browser": BROWSER, "YouTube": YOUTUBE,
           "Media Player": MEDIA_PLAYER, "Films & TV": FILMS_AND_TV}
