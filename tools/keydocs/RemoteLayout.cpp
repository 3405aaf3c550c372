// The remote's keys as the virtual remote lays them out. The card reports
// codes, not names: the labels are ours, chosen from what the keys do in the
// TV applications.
#include "KeyDocs.h"

namespace keydocs {

namespace {

using K = RemoteKey;

constexpr RemoteButton Button(RemoteKey key, const char* label, uint8_t row, uint8_t column) {
    return {static_cast<uint8_t>(Code(key)), label, row, column};
}

}  // namespace

const RemoteButton RemoteButtons[] = {
    Button(K::Power, "Power", 0, 0), Button(K::Standby, "Standby", 0, 1),
    Button(K::Off, "Off", 0, 2), Button(K::Mute, "Mute", 0, 3),
    Button(K::Digit1, "1", 1, 0), Button(K::Digit2, "2", 1, 1), Button(K::Digit3, "3", 1, 2),
    Button(K::Digit4, "4", 2, 0), Button(K::Digit5, "5", 2, 1), Button(K::Digit6, "6", 2, 2),
    Button(K::Digit7, "7", 3, 0), Button(K::Digit8, "8", 3, 1), Button(K::Digit9, "9", 3, 2),
    Button(K::Recall, "Recall", 4, 0), Button(K::Digit0, "0", 4, 1),
    Button(K::Enter, "Enter", 4, 2),
    Button(K::VolumeUp, "Vol+", 5, 0), Button(K::Up, "Up", 5, 1), Button(K::ChannelUp, "Ch+", 5, 2),
    Button(K::Left, "Left", 6, 0), Button(K::Ok, "OK", 6, 1), Button(K::Right, "Right", 6, 2),
    Button(K::VolumeDown, "Vol-", 7, 0), Button(K::Down, "Down", 7, 1),
    Button(K::ChannelDown, "Ch-", 7, 2),
    Button(K::Info, "Info", 8, 0), Button(K::Audio, "Audio", 8, 1), Button(K::Zoom, "Zoom", 8, 2),
    Button(K::Tv, "TV", 8, 3),
    Button(K::Record, "Record", 9, 0), Button(K::Play, "Play", 9, 1), Button(K::Stop, "Stop", 9, 2),
    Button(K::End, "End", 9, 3),
    Button(K::Rewind, "Rew", 10, 0), Button(K::FastForward, "FF", 10, 1),
    Button(K::SkipBack, "Skip-", 10, 2), Button(K::SkipForward, "Skip+", 10, 3),
    Button(K::Back, "Back", 11, 0), Button(K::Home, "Home", 11, 1),
    Button(K::Delete, "Delete", 11, 2), Button(K::Step, "Step", 11, 3),
    Button(K::Details, "Details", 12, 0), Button(K::Full, "Full", 12, 1),
    Button(K::Previous, "Prev", 12, 2), Button(K::Next, "Next", 12, 3),
};

const size_t RemoteButtonCount = sizeof RemoteButtons / sizeof RemoteButtons[0];

}  // namespace keydocs
