// The profiles the program comes with: each maps the remote's keys to the
// player's own default keys in full-screen playback, as the player's own key
// table or documentation gives them (the source above each table). The same
// plan in each: Left and Right seek a short step, Rew and FF a step that
// repeats while the key is held (a player's speed step acts once per press),
// Skip- and Skip+ a longer jump where the player has one (else the previous
// and next item), Prev and Next the previous and next item. A key a player
// has no key for is left out: it goes on to the media keys and the pointer.
// The README lists the same tables with their sources, and
// tests/real_players.py holds them against the players' own.
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

constexpr List<const char* const> None{nullptr, 0};

// A profile's own rows followed by rows that it shares with another.
template <size_t N>
struct Table {
    KeyAction rows[N];
};
template <size_t A, size_t B>
constexpr Table<A + B> Join(const KeyAction (&own)[A], const KeyAction (&shared)[B]) {
    Table<A + B> table{};
    for (size_t i = 0; i < A; ++i) table.rows[i] = own[i];
    for (size_t i = 0; i < B; ++i) table.rows[A + i] = shared[i];
    return table;
}

// VLC 3.0 on Windows: the hot keys of src/libvlc-module.c (the "Non Mac OS X"
// block, its _WIN32 keys): Shift+arrow jumps 3 s, Alt+arrow 10 s, Ctrl+arrow
// 1 min.
constexpr const char* VlcPrograms[] = {"vlc.exe"};
constexpr KeyAction VlcRows[] = {
    Type(K::Full, 'F'), Type(K::Play, VK_SPACE), Type(K::Stop, 'S'), Type(K::End, 'S'),
    Chord(K::Left, VK_MENU, VK_LEFT), Chord(K::Right, VK_MENU, VK_RIGHT),
    Chord(K::Rewind, VK_SHIFT, VK_LEFT), Chord(K::FastForward, VK_SHIFT, VK_RIGHT),
    Chord(K::SkipBack, VK_CONTROL, VK_LEFT), Chord(K::SkipForward, VK_CONTROL, VK_RIGHT),
    Chord(K::VolumeUp, VK_CONTROL, VK_UP), Chord(K::VolumeDown, VK_CONTROL, VK_DOWN), Type(K::Mute, 'M'),
    Type(K::Previous, 'P'), Type(K::Next, 'N'),
};

// MPC-HC: Options > Player > Keys, the defaults (default_wmcmds) of
// https://github.com/clsid2/mpc-hc/blob/develop/src/mpc-hc/AppSettings.cpp:
// the arrows jump 5 s, Shift+arrow to a key frame; Page Up and Page Down are
// Previous and Next; the large jump has no key. MPC-BE keeps these keys
// (src/apps/mplayerc/AppSettings.cpp of https://github.com/Aleksoid1978/MPC-BE)
// but for full screen, which is Ctrl+Enter there.
constexpr KeyAction MpcRows[] = {
    Type(K::Play, VK_SPACE), Type(K::Stop, VK_OEM_PERIOD), Type(K::End, VK_OEM_PERIOD),
    Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Chord(K::Rewind, VK_SHIFT, VK_LEFT), Chord(K::FastForward, VK_SHIFT, VK_RIGHT),
    Type(K::SkipBack, VK_PRIOR), Type(K::SkipForward, VK_NEXT),
    Type(K::VolumeUp, VK_UP), Type(K::VolumeDown, VK_DOWN), Chord(K::Mute, VK_CONTROL, 'M'),
    Type(K::Previous, VK_PRIOR), Type(K::Next, VK_NEXT),
};
constexpr const char* MpcHcPrograms[] = {"mpc-hc.exe", "mpc-hc64.exe"};
constexpr const char* MpcHcClasses[] = {"MediaPlayerClassicW"};
constexpr KeyAction MpcHcFull[] = {Chord(K::Full, VK_MENU, VK_RETURN)};
constexpr auto MpcHcRows = Join(MpcHcFull, MpcRows);
constexpr const char* MpcBePrograms[] = {"mpc-be.exe", "mpc-be64.exe"};
constexpr const char* MpcBeClasses[] = {"MPC-BE"};
constexpr KeyAction MpcBeFull[] = {Chord(K::Full, VK_CONTROL, VK_RETURN)};
constexpr auto MpcBeRows = Join(MpcBeFull, MpcRows);

// Kodi: its default keymap,
// https://github.com/xbmc/xbmc/blob/master/system/keymaps/keyboard.xml, the
// <FullscreenVideo> section over <global>. The arrows, Enter and Backspace
// move in its menus and step in a video; `\` is ToggleFullScreen (Tab only
// switches between the menus and the video); `[` and `]` are its big steps
// (Comma and Period only step, like the arrows); R and F are speed steps;
// Ctrl+B makes a bookmark in a video, so Prev is the media key; held OK opens
// the context menu (C), as a held Enter does in its menus. F8 to F10 and
// Ctrl+F are the Media Center keys it follows.
constexpr const char* KodiPrograms[] = {"kodi.exe"};
constexpr KeyAction KodiRows[] = {
    Type(K::Full, VK_OEM_5), Type(K::Play, VK_SPACE), Type(K::Stop, 'X'), Type(K::End, 'X'),
    Type(K::Up, VK_UP), Type(K::Down, VK_DOWN), Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Type(K::Ok, VK_RETURN), Held(Type(K::Ok, 'C')), Type(K::Back, VK_BACK), Type(K::Home, VK_BROWSER_HOME),
    Type(K::Info, 'I'), Type(K::ChannelUp, VK_PRIOR), Type(K::ChannelDown, VK_NEXT),
    Once(Type(K::Rewind, 'R')), Once(Type(K::FastForward, 'F')),
    Type(K::SkipBack, VK_OEM_6), Type(K::SkipForward, VK_OEM_4),
    Type(K::VolumeUp, VK_F10), Type(K::VolumeDown, VK_F9), Type(K::Mute, VK_F8),
    Type(K::Previous, VK_MEDIA_PREV_TRACK), Chord(K::Next, VK_CONTROL, 'F'),
};

// Windows Media Center (ehshell.exe, Windows Vista and 7): the keys its
// remote sends (http://msdn.microsoft.com/en-us/library/bb189249.aspx, as
// Kodi's keyboard.xml quotes them) and Microsoft's "Windows Media Center
// keyboard shortcuts": Ctrl+P pause, Ctrl+Shift+S stop, Ctrl+Shift+B and F
// rewind and fast forward (speed steps), Ctrl+B replay and Ctrl+F skip,
// F8 to F10 mute and volume, Ctrl+D details, Ctrl+R record, Ctrl+T live TV,
// Win+Alt+Enter its Start, Backspace back, Page Up and Down the channel.
constexpr const char* MediaCenterPrograms[] = {"ehshell.exe"};
constexpr KeyAction MediaCenterRows[] = {
    Chord(K::Full, VK_MENU, VK_RETURN), Chord(K::Play, VK_CONTROL, 'P'),
    Chord(K::Stop, VK_CONTROL, VK_SHIFT, 'S'), Chord(K::End, VK_CONTROL, VK_SHIFT, 'S'),
    Type(K::Up, VK_UP), Type(K::Down, VK_DOWN), Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Type(K::Ok, VK_RETURN), Type(K::Back, VK_BACK), Chord(K::Home, VK_LWIN, VK_MENU, VK_RETURN),
    Chord(K::Info, VK_CONTROL, 'D'), Chord(K::Record, VK_CONTROL, 'R'), Chord(K::Tv, VK_CONTROL, 'T'),
    Type(K::ChannelUp, VK_PRIOR), Type(K::ChannelDown, VK_NEXT),
    Once(Chord(K::Rewind, VK_CONTROL, VK_SHIFT, 'B')), Once(Chord(K::FastForward, VK_CONTROL, VK_SHIFT, 'F')),
    Chord(K::SkipBack, VK_CONTROL, 'B'), Chord(K::SkipForward, VK_CONTROL, 'F'),
    Type(K::VolumeUp, VK_F10), Type(K::VolumeDown, VK_F9), Type(K::Mute, VK_F8),
    Chord(K::Previous, VK_CONTROL, 'B'), Chord(K::Next, VK_CONTROL, 'F'),
};

// Windows Media Player: Microsoft's "Windows Media Player keyboard shortcuts"
// (Ctrl+P play or pause, Ctrl+S stop, Ctrl+Shift+B and F rewind and fast
// forward, speeds that act once per press, Ctrl+B and F previous and next,
// F7 to F9 mute and volume). It has no seek key. Windows 10 and 11's Media
// Player (a Store app, by its own program) keeps these keys, F11 its full
// screen.
constexpr KeyAction MicrosoftRows[] = {
    Chord(K::Play, VK_CONTROL, 'P'), Chord(K::SkipBack, VK_CONTROL, 'B'), Chord(K::SkipForward, VK_CONTROL, 'F'),
    Type(K::VolumeUp, VK_F9), Type(K::VolumeDown, VK_F8), Type(K::Mute, VK_F7),
    Chord(K::Previous, VK_CONTROL, 'B'), Chord(K::Next, VK_CONTROL, 'F'),
};
constexpr const char* WmpPrograms[] = {"wmplayer.exe"};
constexpr KeyAction WmpOwn[] = {
    Chord(K::Full, VK_MENU, VK_RETURN), Chord(K::Stop, VK_CONTROL, 'S'), Chord(K::End, VK_CONTROL, 'S'),
    Once(Chord(K::Rewind, VK_CONTROL, VK_SHIFT, 'B')), Once(Chord(K::FastForward, VK_CONTROL, VK_SHIFT, 'F')),
};
constexpr auto WmpRows = Join(WmpOwn, MicrosoftRows);
constexpr const char* MediaPlayerPrograms[] = {"Microsoft.Media.Player.exe"};
constexpr KeyAction MediaPlayerFull[] = {Type(K::Full, VK_F11)};
constexpr auto MediaPlayerRows = Join(MediaPlayerFull, MicrosoftRows);

// Films & TV (Video.UI.exe, a Store app): the space bar plays and pauses;
// the rest goes to the media keys, which it follows.
constexpr const char* FilmsPrograms[] = {"Video.UI.exe"};
constexpr KeyAction FilmsRows[] = {Type(K::Play, VK_SPACE)};

// PotPlayer: its own list of hot keys (F1): Enter full screen, Space play or
// pause, F4 close, Tab information, the arrows 5 s, Shift+arrows 1 min,
// Ctrl+Shift+arrows a key frame, Up and Down the volume, M mute, Page Up and
// Page Down the file (or the channel).
constexpr const char* PotPlayerPrograms[] = {"PotPlayerMini.exe", "PotPlayerMini64.exe"};
constexpr KeyAction PotPlayerRows[] = {
    Type(K::Full, VK_RETURN), Type(K::Play, VK_SPACE), Type(K::Stop, VK_F4), Type(K::End, VK_F4),
    Type(K::Info, VK_TAB), Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Chord(K::Rewind, VK_CONTROL, VK_SHIFT, VK_LEFT), Chord(K::FastForward, VK_CONTROL, VK_SHIFT, VK_RIGHT),
    Chord(K::SkipBack, VK_SHIFT, VK_LEFT), Chord(K::SkipForward, VK_SHIFT, VK_RIGHT),
    Type(K::VolumeUp, VK_UP), Type(K::VolumeDown, VK_DOWN), Type(K::Mute, 'M'),
    Type(K::ChannelUp, VK_PRIOR), Type(K::ChannelDown, VK_NEXT), Type(K::Previous, VK_PRIOR),
    Type(K::Next, VK_NEXT),
};

// mpv: its default bindings, https://github.com/mpv-player/mpv/blob/master/etc/input.conf
// (the arrows 5 s, Shift+arrows 1 s, Up and Down 1 min, 9 and 0 the volume,
// the media keys the previous and next file). It has no stop key (its Stop
// key quits): Stop and End are left out.
constexpr const char* MpvPrograms[] = {"mpv.exe"};
constexpr KeyAction MpvRows[] = {
    Type(K::Full, 'F'), Type(K::Play, VK_SPACE), Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT),
    Chord(K::Rewind, VK_SHIFT, VK_LEFT), Chord(K::FastForward, VK_SHIFT, VK_RIGHT),
    Type(K::SkipBack, VK_DOWN), Type(K::SkipForward, VK_UP),
    Type(K::VolumeUp, '0'), Type(K::VolumeDown, '9'), Type(K::Mute, 'M'),
    Type(K::Previous, VK_MEDIA_PREV_TRACK), Type(K::Next, VK_MEDIA_NEXT_TRACK),
};

// The browsers. On any page only what every site understands: the media keys,
// which the browser hands to the page's media session
// (https://developer.mozilla.org/en-US/docs/Web/API/Media_Session_API), the
// system's volume (app commands) and the browser's Back. Nothing is typed: a
// letter would go to whatever text field or site has the focus.
constexpr KeyAction AnyPageRows[] = {
    Type(K::Stop, VK_MEDIA_STOP), Type(K::End, VK_MEDIA_STOP),
    AppCommand(K::VolumeUp, APPCOMMAND_VOLUME_UP), AppCommand(K::VolumeDown, APPCOMMAND_VOLUME_DOWN),
    AppCommand(K::Back, APPCOMMAND_BROWSER_BACKWARD),
};
constexpr const char* BrowserPrograms[] = {"chrome.exe", "msedge.exe", "firefox.exe", "brave.exe",
                                           "opera.exe", "vivaldi.exe"};
constexpr KeyAction BrowserOwn[] = {
    Type(K::Play, VK_MEDIA_PLAY_PAUSE), Type(K::Previous, VK_MEDIA_PREV_TRACK),
    Type(K::Next, VK_MEDIA_NEXT_TRACK), AppCommand(K::Mute, APPCOMMAND_VOLUME_MUTE),
};
constexpr auto BrowserRows = Join(BrowserOwn, AnyPageRows);

// YouTube in a browser, by the window's title ("Video - YouTube - Google
// Chrome"): its own keys, https://support.google.com/youtube/answer/7631406
// (K play or pause, F full screen, M mute, the arrows 5 s, J and L 10 s,
// Shift+P and Shift+N the previous and next video), and the rest as on any page.
constexpr const char* YouTubeTitles[] = {"* - YouTube*"};
constexpr KeyAction YouTubeOwn[] = {
    Type(K::Full, 'F'), Type(K::Play, 'K'), Type(K::Mute, 'M'),
    Type(K::Left, VK_LEFT), Type(K::Right, VK_RIGHT), Type(K::Rewind, 'J'), Type(K::FastForward, 'L'),
    Chord(K::SkipBack, VK_SHIFT, 'P'), Chord(K::SkipForward, VK_SHIFT, 'N'),
    Chord(K::Previous, VK_SHIFT, 'P'), Chord(K::Next, VK_SHIFT, 'N'),
};
constexpr auto YouTubeRows = Join(YouTubeOwn, AnyPageRows);

constexpr Profile Profiles[] = {
    {"VLC", Names(VlcPrograms), None, None, Rows(VlcRows)},
    {"MPC-HC", Names(MpcHcPrograms), Names(MpcHcClasses), None, Rows(MpcHcRows.rows)},
    {"MPC-BE", Names(MpcBePrograms), Names(MpcBeClasses), None, Rows(MpcBeRows.rows)},
    {"Kodi", Names(KodiPrograms), None, None, Rows(KodiRows)},
    {"Windows Media Center", Names(MediaCenterPrograms), None, None, Rows(MediaCenterRows)},
    {"Windows Media Player", Names(WmpPrograms), None, None, Rows(WmpRows.rows)},
    {"Media Player", Names(MediaPlayerPrograms), None, None, Rows(MediaPlayerRows.rows)},
    {"Films & TV", Names(FilmsPrograms), None, None, Rows(FilmsRows)},
    {"PotPlayer", Names(PotPlayerPrograms), None, None, Rows(PotPlayerRows)},
    {"mpv", Names(MpvPrograms), None, None, Rows(MpvRows)},
    {"YouTube", Names(BrowserPrograms), None, Names(YouTubeTitles), Rows(YouTubeRows.rows)},
    {"Browser", Names(BrowserPrograms), None, None, Rows(BrowserRows.rows)},
};

}  // namespace

const List<Profile> BuiltInProfiles = ListOf(Profiles);

}  // namespace core
