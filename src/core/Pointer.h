// Pointer emulation: remote keys as pointer moves with acceleration, clicks
// and a button toggle, strictly inside the screen bounds.
#pragma once
#include <cstdint>

#include "core/Feedback.h"
#include "core/RemoteKey.h"
#include "core/Sdk.h"
#include "core/Windows.h"

namespace core {

// What each key does to the pointer is its row's pointer role (RemoteKey.h):
// the digit keys and Recall as a numeric keypad turned upside down.

// The direction of a move (UpLeft, Down), y growing downward; None for none.
PointerAction DirectionOf(int dx, int dy);

// What the code does to the pointer, as the key display shows it: LeftClick,
// UpLeft, Button; None for a code that does nothing.
PointerAction PointerActionOf(int code);
// A click where the pointer is: the down event, then the up event.
void ClickAtPointer(Windows& windows, unsigned downEvent, unsigned upEvent);
// A key map's relative move: 10 pixels a step, 50 with the fast step.
void MoveByStep(Windows& windows, int dx, int dy, bool fastStep);

struct ScreenBounds {
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    int smallStep = 0;
    int largeStep = 0;
};

// The pointer that the remote drives: the screen's bounds, the acceleration
// of a held key and the button that the toggle holds down.
class Pointer {
public:
    explicit Pointer(Windows& windows) : windows_(windows) {}

    // The bounds for the screen size read at start. At creation an odd height
    // first has 19 added, then 1 taken away.
    void InitScreenBounds(int width, int height);
    // The bounds after a display change; resolution is WM_DISPLAYCHANGE's lParam.
    void UpdateScreenBounds(uint32_t resolution);
    // Acts on the keys with a pointer role: clicks, eight moves and the button toggle.
    void Act(int code);
    // A new press: the next move starts the acceleration again.
    void NewRun() { stepCounter_ = 0; }
    // Lets go of a button that the toggle holds down.
    void ReleaseHeldButton();

    const ScreenBounds& bounds() const { return bounds_; }
    bool ButtonHeld() const { return buttonHeld_; }

private:
    void SetWidth(int width);
    void ToggleHeldButton();
    void Move(const PointerRole& direction);

    Windows& windows_;
    ScreenBounds bounds_;
    int stepCounter_ = 0;      // moves made in the current run of one held key
    bool buttonHeld_ = false;  // true while the toggle holds a button down
    unsigned heldButtonUp_ = MOUSEEVENTF_LEFTUP;  // lets go of the button the toggle pressed
};

}  // namespace core
