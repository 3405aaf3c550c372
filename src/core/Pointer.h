// Pointer emulation: remote keys as pointer moves with acceleration, clicks
// and a button toggle, strictly inside the screen bounds.
#pragma once
#include <cstdint>

#include "core/Desktop.h"
#include "core/RemoteKey.h"
#include "core/State.h"

namespace core {

// What each key does to the pointer is its row's pointer role (RemoteKey.h):
// the digit keys and Recall as a numeric keypad turned upside down.

// "up-left", "down": the direction of a move, y growing downward; "" for none.
const char* DirectionName(int dx, int dy);

// The bounds for the screen size read at start. At creation an odd height
// first has 19 added, then 1 taken away.
void InitScreenBounds(PointerState& pointer, int width, int height);
// The bounds after a display change; resolution is WM_DISPLAYCHANGE's lParam.
void UpdateScreenBounds(PointerState& pointer, uint32_t resolution);

// What the code does to the pointer, as the key display names it: "left
// click", "up-left", "button"; null for a code that does nothing.
const char* PointerActionName(int code);
// Acts on the keys with a pointer role: clicks, eight moves and the button toggle.
void PointerAction(PointerState& pointer, Desktop& desktop, int code);
// A click where the pointer is: the down event, then the up event.
void ClickAtPointer(Desktop& desktop, unsigned downEvent, unsigned upEvent);
// A key map's relative move: 10 pixels a step, 50 with the fast step.
void MoveByStep(Desktop& desktop, int dx, int dy, bool fastStep);
// Lets go of a button that the toggle holds down.
void ReleaseHeldButton(PointerState& pointer, Desktop& desktop);

}  // namespace core
