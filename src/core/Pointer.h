// Pointer emulation: remote keys as pointer moves with acceleration, clicks
// and a button toggle, strictly inside the screen bounds.
#pragma once
#include <cstdint>

#include "core/Desktop.h"
#include "core/RemoteKey.h"
#include "core/State.h"

namespace core {

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

// The bounds for the screen size read at start. At creation an odd height
// first has 19 added, then 1 taken away.
void InitScreenBounds(PointerState& pointer, int width, int height);
// The bounds after a display change; resolution is WM_DISPLAYCHANGE's lParam.
void UpdateScreenBounds(PointerState& pointer, uint32_t resolution);

// What the code does to the pointer, as the key display names it: "left
// click", "up-left", "button"; null for a code that does nothing.
const char* PointerActionName(int code);
// Acts on codes 0 to 10: clicks, eight moves and the button toggle.
void PointerAction(PointerState& pointer, Desktop& desktop, int code);
// A click where the pointer is: the down event, then the up event.
void ClickAtPointer(Desktop& desktop, unsigned downEvent, unsigned upEvent);
// A key map's relative move: 10 pixels a step, 50 with the fast step.
void MoveByStep(Desktop& desktop, int dx, int dy, bool fastStep);
// Lets go of a button that the toggle holds down.
void ReleaseHeldButton(PointerState& pointer, Desktop& desktop);

}  // namespace core
