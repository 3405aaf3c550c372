#include "input/SyntheticInput.h"

void KeyChord(const BYTE* keys, size_t count) {
    for (size_t i = 0; i < count; ++i) keybd_event(keys[i], 0, KEYEVENTF_EXTENDEDKEY, 0);
    for (size_t i = count; i-- > 0;)
        keybd_event(keys[i], 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}

void SendButtonEvent(unsigned event, core::Point at) {
    mouse_event(event, static_cast<DWORD>(at.x), static_cast<DWORD>(at.y), 0,
                GetMessageExtraInfo());
}

void SendRelativeMove(int dx, int dy) {
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

core::Point CursorPosition() {
    POINT position = {};
    GetCursorPos(&position);
    return {position.x, position.y};
}

void MoveCursorTo(core::Point at) { SetCursorPos(at.x, at.y); }

bool ButtonsSwapped() { return GetSystemMetrics(SM_SWAPBUTTON) != 0; }

SIZE FullScreenSize() {
    return {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}
