#include "apps/WinDvr.h"

#include "apps/KeyMap.h"
#include "apps/TvApplication.h"

namespace {

using K = RemoteKey;

// lParam of the digit keys: repeat count 1 and the main keyboard's scan code.
constexpr uint32_t WinDvrDigitKeyData[10] = {
    0x000B0001, 0x00020001, 0x00030001, 0x00040001, 0x00050001,
    0x00060001, 0x00070001, 0x00080001, 0x00090001, 0x000A0001,
};

constexpr KeyAction Digit(RemoteKey key, int digit) {
    return Post(key, static_cast<BYTE>('0' + digit), WinDvrDigitKeyData[digit]);
}

constexpr KeyAction Rows[] = {
    Digit(K::Digit1, 1), Digit(K::Digit2, 2), Digit(K::Digit3, 3),
    Digit(K::Digit4, 4), Digit(K::Digit5, 5), Digit(K::Digit6, 6),
    Digit(K::Digit7, 7), Digit(K::Digit8, 8), Digit(K::Digit9, 9),
    Post(K::Recall, 'L'),
    Digit(K::Digit0, 0),
    Post(K::Enter, VK_RETURN, 0x001C0001),
    Click(K::Ok),
    Move(K::Up, 0, -1),
    Move(K::Down, 0, +1),
    Move(K::Left, -1, 0),
    Move(K::Right, +1, 0),
    Post(K::Mute, 'M', 0x00320001),
    Post(K::Audio, 'U', 0x00160001),
    FrontChord(K::Info, VK_CONTROL, 'I'),
    Post(K::Zoom, 'Z', 0x002C0001),
    Post(K::Tv, 'T'),
    Post(K::Stop, VK_END),
    Post(K::Record, VK_HOME),
    FrontChord(K::VolumeUp, VK_SHIFT, VK_UP),
    FrontChord(K::VolumeDown, VK_SHIFT, VK_DOWN),
    Post(K::ChannelUp, VK_PRIOR, 0x01490001),
    Post(K::ChannelDown, VK_NEXT, 0x01510001),
    Chord(K::FastForward, VK_CONTROL, VK_SHIFT, 'F'),
    Chord(K::Rewind, VK_CONTROL, VK_SHIFT, 'R'),
    Post(K::Play, VK_SPACE),
    Post(K::End, VK_END),
    Post(K::Back, 'O'),
    Post(K::Home, 'H', 0x001E0001),
    Post(K::Delete, 'P', 0x00190001),
    ToggleFastStep(K::Step),
    Chord(K::Previous, VK_CONTROL, 'B'),
    Chord(K::Next, VK_CONTROL, 'F'),
};

}  // namespace

const KeyMapTable WinDvrKeys = {Rows, sizeof Rows / sizeof Rows[0], WinDvrApp, FindWinDvrWindow};

void WinDvrKeyMap(int code) { RunKeyMap(WinDvrKeys, code); }

void CloseWinDvr() {
    if (WinDvrApp.FindByTitlePrefix() == nullptr) return;
    KeyChord({VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8});
    WinDvrApp.active = false;
}
