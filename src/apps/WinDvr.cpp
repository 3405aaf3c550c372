#include "apps/WinDvr.h"

#include "apps/KeyMap.h"
#include "apps/TvApplication.h"

namespace {

// lParam of the digit keys: repeat count 1 and the main keyboard's scan code.
constexpr uint32_t WinDvrDigitKeyData[10] = {
    0x000B0001, 0x00020001, 0x00030001, 0x00040001, 0x00050001,
    0x00060001, 0x00070001, 0x00080001, 0x00090001, 0x000A0001,
};

constexpr KeyAction Digit(uint8_t code, int digit) {
    return Post(code, static_cast<BYTE>('0' + digit), WinDvrDigitKeyData[digit]);
}

constexpr KeyAction Rows[] = {
    Digit(0, 1), Digit(1, 2), Digit(2, 3), Digit(3, 4), Digit(4, 5),
    Digit(5, 6), Digit(6, 7), Digit(7, 8), Digit(8, 9),
    Post(9, 'L'),
    Digit(10, 0),
    Post(11, VK_RETURN, 0x001C0001),
    Click(14),
    Move(16, 0, -1),
    Move(17, 0, +1),
    Move(18, -1, 0),
    Move(19, +1, 0),
    Post(20, 'M', 0x00320001),
    Post(21, 'U', 0x00160001),
    FrontChord(22, VK_CONTROL, 'I'),
    Post(23, 'Z', 0x002C0001),
    Post(25, 'T'),
    Post(26, VK_END),
    Post(27, VK_HOME),
    FrontChord(28, VK_SHIFT, VK_UP),
    FrontChord(29, VK_SHIFT, VK_DOWN),
    Post(30, VK_PRIOR, 0x01490001),
    Post(31, VK_NEXT, 0x01510001),
    Chord(64, VK_CONTROL, VK_SHIFT, 'F'),
    Chord(65, VK_CONTROL, VK_SHIFT, 'R'),
    Post(68, VK_SPACE),
    Post(69, VK_END),
    Post(72, 'O'),
    Post(73, 'H', 0x001E0001),
    Post(74, 'P', 0x00190001),
    ToggleFastStep(75),
    Chord(78, VK_CONTROL, 'B'),
    Chord(79, VK_CONTROL, 'F'),
};

}  // namespace

const KeyMapTable WinDvrKeys = {Rows, sizeof Rows / sizeof Rows[0], WinDvrApp, FindWinDvrWindow};

void WinDvrKeyMap(int code) { RunKeyMap(WinDvrKeys, code); }

void CloseWinDvr() {
    if (WinDvrApp.FindByTitlePrefix() == nullptr) return;
    KeyChord({VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8});
    WinDvrApp.active = 0;
}
