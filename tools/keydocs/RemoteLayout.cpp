// The remote's keys as the virtual remote lays them out, labelled with the
// core's names of the keys (KeyLabel), which the key display and
// profiles.ini use too.
#include "KeyDocs.h"

namespace keydocs {

namespace {

using K = RemoteKey;

RemoteButton Button(RemoteKey key, uint8_t row, uint8_t column) {
    return {static_cast<uint8_t>(Code(key)), KeyLabel(Code(key)), row, column};
}

}  // namespace

const RemoteButton RemoteButtons[] = {
    Button(K::Power, 0, 0), Button(K::Standby, 0, 1), Button(K::Off, 0, 2), Button(K::Mute, 0, 3),
    Button(K::Digit1, 1, 0), Button(K::Digit2, 1, 1), Button(K::Digit3, 1, 2),
    Button(K::Digit4, 2, 0), Button(K::Digit5, 2, 1), Button(K::Digit6, 2, 2),
    Button(K::Digit7, 3, 0), Button(K::Digit8, 3, 1), Button(K::Digit9, 3, 2),
    Button(K::Recall, 4, 0), Button(K::Digit0, 4, 1), Button(K::Enter, 4, 2),
    Button(K::VolumeUp, 5, 0), Button(K::Up, 5, 1), Button(K::ChannelUp, 5, 2),
    Button(K::Left, 6, 0), Button(K::Ok, 6, 1), Button(K::Right, 6, 2),
    Button(K::VolumeDown, 7, 0), Button(K::Down, 7, 1), Button(K::ChannelDown, 7, 2),
    Button(K::Info, 8, 0), Button(K::Audio, 8, 1), Button(K::Zoom, 8, 2), Button(K::Tv, 8, 3),
    Button(K::Record, 9, 0), Button(K::Play, 9, 1), Button(K::Stop, 9, 2), Button(K::End, 9, 3),
    Button(K::Rewind, 10, 0), Button(K::FastForward, 10, 1),
    Button(K::SkipBack, 10, 2), Button(K::SkipForward, 10, 3),
    Button(K::Back, 11, 0), Button(K::Home, 11, 1), Button(K::Delete, 11, 2), Button(K::Step, 11, 3),
    Button(K::Details, 12, 0), Button(K::Full, 12, 1),
    Button(K::Previous, 12, 2), Button(K::Next, 12, 3),
};

const size_t RemoteButtonCount = sizeof RemoteButtons / sizeof RemoteButtons[0];

}  // namespace keydocs
