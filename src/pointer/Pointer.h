// Pointer emulation: remote keys as pointer moves with acceleration, clicks
// and a button toggle, strictly inside the screen bounds.
#pragma once
#include <windows.h>

#include "card/RemoteKey.h"

struct Bounds {
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    int smallStep = 0;
    int largeStep = 0;
};

// The digit keys drive the pointer as a numeric keypad: 0 (the key "1")
// clicks left, 10 (the key "0") clicks right, 5 (the key "6") holds or lets
// go of a button, and the other codes up to 9 move the pointer.
constexpr int LeftClickCode = Code(RemoteKey::Digit1);
constexpr int ToggleCode = Code(RemoteKey::Digit6);
constexpr int RightClickCode = Code(RemoteKey::Digit0);

struct Direction {
    int dx;
    int dy;
};

// By code 1 to 9, as on a numeric keypad turned upside down (y grows downward).
inline constexpr Direction Directions[10] = {
    {0, 0}, {-1, -1}, {0, -1}, {+1, -1}, {-1, 0}, {0, 0}, {+1, 0}, {-1, +1}, {0, +1}, {+1, +1},
};

extern Bounds ScreenBounds;
extern int StepCounter;  // moves made in the current run of one held key
extern bool ButtonHeld;  // true while the toggle holds a button down

void InitScreenBounds();
void UpdateScreenBounds(WPARAM wParam, LPARAM lParam);

// Acts on codes 0 to 10: clicks, eight moves and the button toggle.
void PointerAction(int code);
// One move of a held direction key (codes 1 to 4 and 6 to 9).
void MovePointer(int code);
// A click where the pointer is: the down event, then the up event.
void ClickAtPointer(DWORD downEvent, DWORD upEvent);
// Lets go of a button that the toggle holds down.
void ReleaseHeldButton();
