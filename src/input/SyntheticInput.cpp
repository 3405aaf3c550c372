#include "input/SyntheticInput.h"

#include "core/KeyNames.h"
#include "win32/FailureTrace.h"

namespace {

// The virtual key that Windows is given for the key.
BYTE Sent(BYTE key) { return key == core::NumEnterKey ? VK_RETURN : key; }

}  // namespace

void KeyChord(const BYTE* keys, size_t count) {
    for (size_t i = 0; i < count; ++i) keybd_event(Sent(keys[i]), 0, KEYEVENTF_EXTENDEDKEY, 0);
    for (size_t i = count; i-- > 0;)
        keybd_event(Sent(keys[i]), 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}

bool IsExtendedKey(BYTE vk) {
    switch (vk) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_INSERT:
        case VK_DELETE:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_SNAPSHOT:
        case VK_CANCEL:
        case core::NumEnterKey:
            return true;
        default:
            // VK_BROWSER_BACK to VK_LAUNCH_APP2: the browser, volume, media
            // and launch keys.
            return vk >= VK_BROWSER_BACK && vk <= VK_LAUNCH_APP2;
    }
}

bool TypeKeys(const BYTE* keys, size_t count) {
    if (count > MaxTypedKeys) count = MaxTypedKeys;
    INPUT inputs[2 * MaxTypedKeys] = {};
    for (size_t i = 0; i < count; ++i) {
        KEYBDINPUT& down = inputs[i].ki;
        inputs[i].type = INPUT_KEYBOARD;
        down.wVk = Sent(keys[i]);
        down.wScan = static_cast<WORD>(MapVirtualKeyA(down.wVk, MAPVK_VK_TO_VSC));
        down.dwFlags = IsExtendedKey(keys[i]) ? KEYEVENTF_EXTENDEDKEY : 0;
        // Its release, in the mirror-image place.
        INPUT& up = inputs[2 * count - 1 - i];
        up = inputs[i];
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
    }
    const UINT total = static_cast<UINT>(2 * count);
    if (total == 0) return true;
    if (SendInput(total, inputs, sizeof(INPUT)) == total) return true;
    TraceFailure("typing keys to the window in front", GetLastError());
    return false;
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
