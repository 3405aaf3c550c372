#include "pointer/Pointer.h"

Bounds ScreenBounds;
int StepCounter = 0;
bool ButtonHeld = false;

namespace {

constexpr int SmallStepDivisor = 160;
constexpr int LargeStepDivisor = 80;
constexpr int OnePixelMoves = 4;   // moves 1 to 4 of a run go one pixel
constexpr int SmallStepMoves = 9;  // moves 5 to 9 go the small step

// The event that lets go of the button the toggle pressed.
DWORD HeldButtonUpEvent = MOUSEEVENTF_LEFTUP;

void SetWidth(int width) {
    ScreenBounds.minX = 0;
    ScreenBounds.minY = 0;
    ScreenBounds.maxX = width - 1;
    ScreenBounds.smallStep = width / SmallStepDivisor;
    ScreenBounds.largeStep = width / LargeStepDivisor;
}

bool Inside(int x, int y) {
    return ScreenBounds.minX < x && x < ScreenBounds.maxX && ScreenBounds.minY < y &&
           y < ScreenBounds.maxY;
}

void ButtonEvent(DWORD event, const POINT& position) {
    mouse_event(event, static_cast<DWORD>(position.x), static_cast<DWORD>(position.y), 0,
                GetMessageExtraInfo());
}

void ToggleButton() {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    POINT position = {};
    GetCursorPos(&position);
    if (!ButtonHeld) {
        ButtonEvent(swapped ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, position);
        HeldButtonUpEvent = swapped ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        ButtonHeld = true;
    } else {
        // The button that went down comes up, even if the buttons were
        // swapped meanwhile: the other one's up-event would leave it held.
        ButtonEvent(HeldButtonUpEvent, position);
        ButtonHeld = false;
    }
}

}  // namespace

void InitScreenBounds() {
    const int height = GetSystemMetrics(SM_CYFULLSCREEN);
    SetWidth(GetSystemMetrics(SM_CXFULLSCREEN));
    // At creation an odd height first has 19 added, then 1 taken away.
    ScreenBounds.maxY = height % 2 != 0 ? height + 18 : height - 1;
}

void UpdateScreenBounds(WPARAM, LPARAM lParam) {
    const DWORD resolution = static_cast<DWORD>(lParam);
    SetWidth(LOWORD(resolution));
    ScreenBounds.maxY = static_cast<int>(HIWORD(resolution)) - 1;
}

void ClickAtPointer(DWORD downEvent, DWORD upEvent) {
    POINT position = {};
    GetCursorPos(&position);
    ButtonEvent(downEvent, position);
    ButtonEvent(upEvent, position);
}

void MovePointer(int code) {
    const int move = ++StepCounter;
    const int step = move <= OnePixelMoves   ? 1
                     : move <= SmallStepMoves ? ScreenBounds.smallStep
                                              : ScreenBounds.largeStep;
    POINT position = {};
    GetCursorPos(&position);
    const int x = position.x + Directions[code].dx * step;
    const int y = position.y + Directions[code].dy * step;
    if (Inside(x, y)) {
        SetCursorPos(x, y);
    } else {
        StepCounter = 0;
    }
}

void PointerAction(int code) {
    const unsigned key = static_cast<unsigned>(code);
    if (key == LeftClickCode) {
        ClickAtPointer(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    } else if (key == ToggleCode) {
        ToggleButton();
    } else if (key == RightClickCode) {
        ClickAtPointer(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    } else if (key < RightClickCode) {
        MovePointer(code);
    }
}

void ReleaseHeldButton() {
    if (!ButtonHeld) return;
    POINT position = {};
    GetCursorPos(&position);
    ButtonEvent(HeldButtonUpEvent, position);
    ButtonHeld = false;
}
