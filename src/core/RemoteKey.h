// The remote's keys, one row each (RemoteKeys, below): the one-byte code the
// card reports, our label, its place on the virtual remote, how it acts when
// held, and its roles for the pointer and the machine. What a key does in a
// TV application or another player is in their maps (KeyTables.cpp,
// ProfileTables.cpp), the maps' rows naming the key by its code here.
//
// The card reports codes, not names: the names are ours, after what the keys
// do in the TV applications (the virtual remote shows them as its labels).
// Code 15 and codes above 79 belong to no key of this remote; the card can
// still report any byte, so the program routes codes as int, 0 to 255.
#pragma once
#include <cstddef>
#include <cstdint>

enum class RemoteKey : uint8_t {
    Digit1 = 0, Digit2 = 1, Digit3 = 2, Digit4 = 3, Digit5 = 4,
    Digit6 = 5, Digit7 = 6, Digit8 = 7, Digit9 = 8,
    Recall = 9, Digit0 = 10, Enter = 11, Power = 12, Standby = 13, Ok = 14,
    Up = 16, Down = 17, Left = 18, Right = 19,
    Mute = 20, Audio = 21, Info = 22, Zoom = 23, Off = 24, Tv = 25, Stop = 26, Record = 27,
    VolumeUp = 28, VolumeDown = 29, ChannelUp = 30, ChannelDown = 31,
    FastForward = 64, Rewind = 65, SkipBack = 66, SkipForward = 67, Play = 68, End = 69,
    Back = 72, Home = 73, Delete = 74, Step = 75, Details = 76, Full = 77,
    Previous = 78, Next = 79,
};

// The code the card reports for key.
constexpr int Code(RemoteKey key) { return static_cast<int>(key); }

// Our name of the key, as the virtual remote labels it, the key display
// shows it and profiles.ini names it: "Vol+", "Ch-", "Play"; null for a code
// of no key.
const char* KeyLabel(int code);
// The code of the key with that label, compared in any letter case; -1 for none.
int CodeOfLabel(const char* label);

namespace core {

// Where the virtual remote shows the key: a grid of RemoteColumns columns,
// rows from the top; the README's key table lists the keys in this order.
struct KeyPlace {
    uint8_t row;
    uint8_t column;
};
constexpr int RemoteColumns = 4;

// How a held key acts, as flags. A plain key acts on every read (a TV
// application gets its first and every tenth) and once per press where it
// types to another player.
enum KeyHabit : uint8_t {
    Plain = 0,
    OneShot = 1,           // acts once per press wherever it goes
    RepeatsInPlayers = 2,  // held, it repeats in a profile and as a media key
};

// What the key does to the pointer when nothing else takes it.
enum class PointerUse : uint8_t { None, Move, LeftClick, RightClick, ToggleButton };
struct PointerRole {
    PointerUse use;
    int8_t dx;  // for Move: -1, 0 or +1; y grows downward
    int8_t dy;
};
constexpr PointerRole NoPointer{PointerUse::None, 0, 0};
constexpr PointerRole LeftClick{PointerUse::LeftClick, 0, 0};
constexpr PointerRole RightClick{PointerUse::RightClick, 0, 0};
constexpr PointerRole ToggleButton{PointerUse::ToggleButton, 0, 0};
constexpr PointerRole Moves(int8_t dx, int8_t dy) { return {PointerUse::Move, dx, dy}; }

// The key's role for the machine, which no TV application's map changes.
enum class MachineRole : uint8_t {
    None,
    Power,       // starts and closes the TV applications; confirms the shutdown dialog
    Standby,     // standby without a target; nothing shortly after a resume
    Off,         // what the default application's row says (off); nothing shortly after a resume
    VolumeDown,  // what the default application's row says (volumeDown) without a target
};

// The key's names for the programs that take the remote from the key server
// (KeyServer.h): each unique, without spaces.
struct OtherNames {
    const char* lirc;  // LIRC and WinLIRC: the Linux input event's name (KEY_PLAY)
    const char* irss;  // IR Server Suite: its "Abstract" remote's name, as Kodi maps them (Play)
};

struct RemoteKeyRow {
    RemoteKey key;
    const char* label;  // ours (KeyLabel)
    KeyPlace place;
    uint8_t habits;     // KeyHabit flags
    PointerRole pointer;
    MachineRole machine;
    OtherNames names = {};

    constexpr bool oneShot() const { return (habits & OneShot) != 0; }
    constexpr bool repeatsInPlayers() const { return (habits & RepeatsInPlayers) != 0; }
};

// In the order of their places: by row, then by column.
inline constexpr RemoteKeyRow RemoteKeys[] = {
    // key                   label      place    habits                      pointer        machine                  LIRC (Linux input) and IR Server Suite names
    {RemoteKey::Power,       "Power",   {0, 0},  OneShot,                    NoPointer,     MachineRole::Power,      {"KEY_POWER", "Power"}},
    {RemoteKey::Standby,     "Standby", {0, 1},  OneShot,                    NoPointer,     MachineRole::Standby,    {"KEY_SLEEP", "Sleep"}},
    {RemoteKey::Off,         "Off",     {0, 2},  OneShot,                    NoPointer,     MachineRole::Off,        {"KEY_POWER2", "Power2"}},
    {RemoteKey::Mute,        "Mute",    {0, 3},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_MUTE", "Mute"}},
    {RemoteKey::Digit1,      "1",       {1, 0},  Plain,                      LeftClick,     MachineRole::None,       {"KEY_1", "Number1"}},
    {RemoteKey::Digit2,      "2",       {1, 1},  Plain,                      Moves(-1, -1), MachineRole::None,       {"KEY_2", "Number2"}},
    {RemoteKey::Digit3,      "3",       {1, 2},  Plain,                      Moves(0, -1),  MachineRole::None,       {"KEY_3", "Number3"}},
    {RemoteKey::Digit4,      "4",       {2, 0},  Plain,                      Moves(+1, -1), MachineRole::None,       {"KEY_4", "Number4"}},
    {RemoteKey::Digit5,      "5",       {2, 1},  Plain,                      Moves(-1, 0),  MachineRole::None,       {"KEY_5", "Number5"}},
    {RemoteKey::Digit6,      "6",       {2, 2},  Plain,                      ToggleButton,  MachineRole::None,       {"KEY_6", "Number6"}},
    {RemoteKey::Digit7,      "7",       {3, 0},  Plain,                      Moves(+1, 0),  MachineRole::None,       {"KEY_7", "Number7"}},
    {RemoteKey::Digit8,      "8",       {3, 1},  Plain,                      Moves(-1, +1), MachineRole::None,       {"KEY_8", "Number8"}},
    {RemoteKey::Digit9,      "9",       {3, 2},  Plain,                      Moves(0, +1),  MachineRole::None,       {"KEY_9", "Number9"}},
    {RemoteKey::Recall,      "Recall",  {4, 0},  Plain,                      Moves(+1, +1), MachineRole::None,       {"KEY_LAST", "Recall"}},
    {RemoteKey::Digit0,      "0",       {4, 1},  Plain,                      RightClick,    MachineRole::None,       {"KEY_0", "Number0"}},
    {RemoteKey::Enter,       "Enter",   {4, 2},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_ENTER", "Enter"}},
    {RemoteKey::VolumeUp,    "Vol+",    {5, 0},  RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_VOLUMEUP", "VolumeUp"}},
    {RemoteKey::Up,          "Up",      {5, 1},  RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_UP", "Up"}},
    {RemoteKey::ChannelUp,   "Ch+",     {5, 2},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_CHANNELUP", "ChannelUp"}},
    {RemoteKey::Left,        "Left",    {6, 0},  RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_LEFT", "Left"}},
    {RemoteKey::Ok,          "OK",      {6, 1},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_OK", "OK"}},
    {RemoteKey::Right,       "Right",   {6, 2},  RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_RIGHT", "Right"}},
    {RemoteKey::VolumeDown,  "Vol-",    {7, 0},  OneShot | RepeatsInPlayers, NoPointer,     MachineRole::VolumeDown, {"KEY_VOLUMEDOWN", "VolumeDown"}},
    {RemoteKey::Down,        "Down",    {7, 1},  RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_DOWN", "Down"}},
    {RemoteKey::ChannelDown, "Ch-",     {7, 2},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_CHANNELDOWN", "ChannelDown"}},
    {RemoteKey::Info,        "Info",    {8, 0},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_INFO", "Info"}},
    {RemoteKey::Audio,       "Audio",   {8, 1},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_AUDIO", "Audio"}},
    {RemoteKey::Zoom,        "Zoom",    {8, 2},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_ZOOM", "Zoom"}},
    {RemoteKey::Tv,          "TV",      {8, 3},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_TV", "LiveTV"}},
    {RemoteKey::Record,      "Record",  {9, 0},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_RECORD", "Record"}},
    {RemoteKey::Play,        "Play",    {9, 1},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_PLAY", "Play"}},
    {RemoteKey::Stop,        "Stop",    {9, 2},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_STOP", "Stop"}},
    {RemoteKey::End,         "End",     {9, 3},  Plain,                      NoPointer,     MachineRole::None,       {"KEY_END", "End"}},
    {RemoteKey::Rewind,      "Rew",     {10, 0}, RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_REWIND", "Rewind"}},
    {RemoteKey::FastForward, "FF",      {10, 1}, RepeatsInPlayers,           NoPointer,     MachineRole::None,       {"KEY_FASTFORWARD", "FastForward"}},
    {RemoteKey::SkipBack,    "Skip-",   {10, 2}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_PREVIOUS", "PreviousChapter"}},
    {RemoteKey::SkipForward, "Skip+",   {10, 3}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_NEXT", "NextChapter"}},
    {RemoteKey::Back,        "Back",    {11, 0}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_BACK", "Back"}},
    {RemoteKey::Home,        "Home",    {11, 1}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_HOME", "Start"}},
    {RemoteKey::Delete,      "Delete",  {11, 2}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_DELETE", "Clear"}},
    {RemoteKey::Step,        "Step",    {11, 3}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_FRAMEFORWARD", "Step"}},
    {RemoteKey::Details,     "Details", {12, 0}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_EPG", "Guide"}},
    {RemoteKey::Full,        "Full",    {12, 1}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_SCREEN", "FullScreen"}},
    {RemoteKey::Previous,    "Prev",    {12, 2}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_PREVIOUSSONG", "Replay"}},
    {RemoteKey::Next,        "Next",    {12, 3}, Plain,                      NoPointer,     MachineRole::None,       {"KEY_NEXTSONG", "Skip"}},
};
constexpr size_t RemoteKeyCount = sizeof RemoteKeys / sizeof RemoteKeys[0];

// The row of the key with that code; null for a code of no key.
const RemoteKeyRow* RowOf(int code);
// Its machine role; None for a code of no key.
MachineRole MachineRoleOf(int code);

}  // namespace core
