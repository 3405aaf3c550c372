// The profiles the program comes with: each maps the remote's keys to the
// player's own default keys, as its documentation gives them. The same plan
// in each: Left and Right seek a short step, Rew and FF a step that repeats
// while the key is held, Skip- and Skip+ a longer jump where the player has
// one (else the previous and next item), Prev and Next the previous and next
// item. A key a player has no key for is left out: it goes on to the media
// keys and the pointer. The README lists the same tables with their sources.
#include "core/Profiles.h"
#include "core/Sdk.h"

namespace core {

namespace {

using K = RemoteKey;

template <size_t N>
constexpr List<const char* const> Names(const char* const (&names)[N]) {
    return {names, N};
}

template <size_t N>
constexpr KeyMap Rows(const KeyAction (&rows)[N]) {
    return {rows, N};
}

// VLC: https://wiki.videolan.org/Hotkeys/ (the defaults on Windows and Linux:
// Alt+arrow jumps 10 s, Shift+arrow 3 s, Ctrl+arrow 1 min).
constexpr const char* VlcPrograms[] = {"vlc.exe"};
constexpr KeyAction VlcRows[] = {
    Type(K::Full, 'F'), Type(K::Play, VK_SPACE), Type(K::Stop, 'S'), Type(K::End, 'S'),
    Chord(K::Left, VK_MENU, VK_LEFT), Chord(K::Right, VK_MENU, VK_RIGHT),
    Chord(K::Rewind, VK_SHIFT, VK_LEFT), Chord(K::FastForward, VK_SHIFT, VK_RIGHT),
    Chord(K::SkipBack, VK_CONTROL, VK_LEFT), Chord(K::SkipForward, VK_CONTROL, VK_RIGHT),
    Chord(K::VolumeUp, VK_CONTROL, VK_UP), Chord(K::VolumeDown, VK_CONTROL, VK_DOWN), Type(K::Mute, 'M'),
    Type(K::Previous, 'P'), Type(K::Next, 'N'),
};

// MPC-HC: Options > Player > Keys, the defaults of
// https://github.com/clsid2/mpc-hc/blob/develop/src/mpc-hc/AppSettings.cpp
// (arrows jump 5 s, Shift+arrow to a key frame; Page Up and Page Down are
// Previous and Next; it has no longer jump by default).
constexpr const char* MpcHcPrograms[] = {"mpc-hc.exe", "mpc-hc64.exe"};
constexpr const char* MpcHcClasses[] = {"MediaPlayerClassicW"};
constexpr KeyAction MpcHcRows[] = {
    Chord(K::Full, VK_MENU, VK_RETURN), Type(K::Play, VK_SPACE),
    Type(K::Stop, VK_OEM_PERIOD), Type(K::End, VK_OEM_PERIOD),
    Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Chord(K::Rewind, VK_SHIFT, VK_LEFT), Chord(K::FastForward, VK_SHIFT, VK_RIGHT),
    Type(K::SkipBack, VK_PRIOR), Type(K::SkipForward, VK_NEXT),
    Type(K::VolumeUp, VK_UP), Type(K::VolumeDown, VK_DOWN), Chord(K::Mute, VK_CONTROL, 'M'),
    Type(K::Previous, VK_PRIOR), Type(K::Next, VK_NEXT),
};

// Kodi: https://kodi.wiki/view/Keyboard_controls and its default keymap,
// https://github.com/xbmc/xbmc/blob/master/system/keymaps/keyboard.xml
// (the arrows, Enter and Backspace move in its menus and seek in a video;
// F8 to F10 and Ctrl+B, Ctrl+F are the Media Center keys it follows).
constexpr const char* KodiPrograms[] = {"kodi.exe"};
constexpr KeyAction KodiRows[] = {
    Type(K::Full, VK_TAB), Type(K::Play, VK_SPACE), Type(K::Stop, 'X'), Type(K::End, 'X'),
    Type(K::Up, VK_UP), Type(K::Down, VK_DOWN), Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Type(K::Ok, VK_RETURN), Type(K::Back, VK_BACK), Type(K::Home, VK_BROWSER_HOME), Type(K::Info, 'I'),
    Type(K::ChannelUp, VK_PRIOR), Type(K::ChannelDown, VK_NEXT),
    Type(K::Rewind, 'R'), Type(K::FastForward, 'F'),
    Type(K::SkipBack, VK_OEM_COMMA), Type(K::SkipForward, VK_OEM_PERIOD),
    Type(K::VolumeUp, VK_F10), Type(K::VolumeDown, VK_F9), Type(K::Mute, VK_F8),
    Chord(K::Previous, VK_CONTROL, 'B'), Chord(K::Next, VK_CONTROL, 'F'),
};

// Windows Media Player: Microsoft's "Keyboard shortcuts in Windows Media
// Player", https://support.microsoft.com/windows (Ctrl+P play or pause,
// Ctrl+S stop, Ctrl+Shift+B and F rewind and fast forward, Ctrl+B and F
// previous and next, F7 to F9 mute and volume). It has no seek key.
constexpr const char* WmpPrograms[] = {"wmplayer.exe"};
constexpr KeyAction WmpRows[] = {
    Chord(K::Full, VK_MENU, VK_RETURN), Chord(K::Play, VK_CONTROL, 'P'),
    Chord(K::Stop, VK_CONTROL, 'S'), Chord(K::End, VK_CONTROL, 'S'),
    Chord(K::Rewind, VK_CONTROL, VK_SHIFT, 'B'), Chord(K::FastForward, VK_CONTROL, VK_SHIFT, 'F'),
    Chord(K::SkipBack, VK_CONTROL, 'B'), Chord(K::SkipForward, VK_CONTROL, 'F'),
    Type(K::VolumeUp, VK_F9), Type(K::VolumeDown, VK_F8), Type(K::Mute, VK_F7),
    Chord(K::Previous, VK_CONTROL, 'B'), Chord(K::Next, VK_CONTROL, 'F'),
};

// The browsers playing video: YouTube's keys,
// https://support.google.com/youtube/answer/7631406 (K play or pause, F full
// screen, M mute, the arrows 5 s, J and L 10 s, Shift+P and Shift+N the
// previous and next video); the arrows also seek a browser's own HTML5 player.
// Its volume keys act only while the player has the focus, else the arrows
// scroll the page: Vol+ and Vol- send the app commands instead, which turn
// the system's volume. Back is the browser's Back.
constexpr const char* BrowserPrograms[] = {"chrome.exe", "msedge.exe", "firefox.exe", "brave.exe",
                                           "opera.exe"};
constexpr KeyAction BrowserRows[] = {
    Type(K::Full, 'F'), Type(K::Play, 'K'), Type(K::Mute, 'M'),
    Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT), Type(K::Rewind, 'J'), Type(K::FastForward, 'L'),
    Chord(K::SkipBack, VK_SHIFT, 'P'), Chord(K::SkipForward, VK_SHIFT, 'N'),
    AppCommand(K::VolumeUp, APPCOMMAND_VOLUME_UP), AppCommand(K::VolumeDown, APPCOMMAND_VOLUME_DOWN),
    Chord(K::Previous, VK_SHIFT, 'P'), Chord(K::Next, VK_SHIFT, 'N'),
    AppCommand(K::Back, APPCOMMAND_BROWSER_BACKWARD),
};

constexpr Profile Profiles[] = {
    {"VLC", Names(VlcPrograms), {nullptr, 0}, {nullptr, 0}, Rows(VlcRows)},
    {"MPC-HC", Names(MpcHcPrograms), Names(MpcHcClasses), {nullptr, 0}, Rows(MpcHcRows)},
    {"Kodi", Names(KodiPrograms), {nullptr, 0}, {nullptr, 0}, Rows(KodiRows)},
    {"Windows Media Player", Names(WmpPrograms), {nullptr, 0}, {nullptr, 0}, Rows(WmpRows)},
    {"Browser", Names(BrowserPrograms), {nullptr, 0}, {nullptr, 0}, Rows(BrowserRows)},
};

}  // namespace

const List<Profile> BuiltInProfiles = ListOf(Profiles);

}  // namespace core
