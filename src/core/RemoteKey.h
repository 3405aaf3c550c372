// The remote's keys, by the one-byte code the card reports for each. The card
// reports codes, not names: the names are ours, after what the keys do in the
// TV applications (the virtual remote shows them as its labels). Code 15 and
// codes above 79 belong to no key of this remote; the card can still report
// any byte, so the program routes codes as int, 0 to 255.
#pragma once
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
