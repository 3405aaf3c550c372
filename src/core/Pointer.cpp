#include "core/Pointer.h"

namespace core {

namespace {

constexpr int SmallStepDivisor = 160;
constexpr int LargeStepDivisor = 80;
constexpr int OnePixelMoves = 4;   // moves 1 to 4 of a run go one pixel
constexpr int SmallStepMoves = 9;  // moves 5 to 9 go the small step
constexpr int SlowStep = 10;
constexpr int FastStepExtra = 40;

bool Inside(const ScreenBounds& bounds, int x, int y) {
    return bounds.minX < x && x < bounds.maxX && bounds.minY < y && y < bounds.maxY;
}

}  // namespace

void Pointer::SetWidth(int width) {
    bounds_.minX = 0;
    bounds_.minY = 0;
    bounds_.maxX = width - 1;
    bounds_.smallStep = width / SmallStepDivisor;
    bounds_.largeStep = width / LargeStepDivisor;
}

void Pointer::ToggleHeldButton() {
    const bool swapped = windows_.ButtonsSwapped();
    const Point position = windows_.Cursor();
    if (!buttonHeld_) {
        windows_.Button(swapped ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, position);
        heldButtonUp_ = swapped ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        buttonHeld_ = true;
    } else {
        // The button that went down comes up, even if the buttons were
        // swapped meanwhile: the other one's up-event would leave it held.
        windows_.Button(heldButtonUp_, position);
        buttonHeld_ = false;
    }
}

void Pointer::Move(const PointerRole& direction) {
    const int move = ++stepCounter_;
    const int step = move <= OnePixelMoves   ? 1
                     : move <= SmallStepMoves ? bounds_.smallStep
                                              : bounds_.largeStep;
    const Point position = windows_.Cursor();
    const Point next = {position.x + direction.dx * step, position.y + direction.dy * step};
    if (Inside(bounds_, next.x, next.y)) {
        windows_.SetCursor(next);
    } else {
        stepCounter_ = 0;
    }
}

void Pointer::InitScreenBounds(int width, int height) {
    SetWidth(width);
    bounds_.maxY = height % 2 != 0 ? height + 18 : height - 1;
}

void Pointer::UpdateScreenBounds(uint32_t resolution) {
    SetWidth(static_cast<int>(resolution & 0xFFFF));
    bounds_.maxY = static_cast<int>(resolution >> 16) - 1;
}

void ClickAtPointer(Windows& windows, unsigned downEvent, unsigned upEvent) {
    const Point position = windows.Cursor();
    windows.Button(downEvent, position);
    windows.Button(upEvent, position);
}

void MoveByStep(Windows& windows, int dx, int dy, bool fastStep) {
    const int step = SlowStep + (fastStep ? FastStepExtra : 0);
    windows.MoveBy(dx * step, dy * step);
}

PointerAction DirectionOf(int dx, int dy) {
    using A = PointerAction;
    static constexpr A Directions[3][3] = {
        {A::UpLeft, A::Left, A::DownLeft},
        {A::Up, A::None, A::Down},
        {A::UpRight, A::Right, A::DownRight},
    };
    return dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 ? Directions[dx + 1][dy + 1] : A::None;
}

PointerAction PointerActionOf(int code) {
    const RemoteKeyRow* row = RowOf(code);
    switch (row != nullptr ? row->pointer.use : PointerUse::None) {
        case PointerUse::LeftClick:
            return PointerAction::LeftClick;
        case PointerUse::RightClick:
            return PointerAction::RightClick;
        case PointerUse::ToggleButton:
            return PointerAction::Button;
        case PointerUse::Move:
            return DirectionOf(row->pointer.dx, row->pointer.dy);
        case PointerUse::None:
            break;
    }
    return PointerAction::None;
}

void Pointer::Act(int code) {
    const RemoteKeyRow* row = RowOf(code);
    if (row == nullptr) return;
    switch (row->pointer.use) {
        case PointerUse::LeftClick:
            ClickAtPointer(windows_, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            break;
        case PointerUse::ToggleButton:
            ToggleHeldButton();
            break;
        case PointerUse::RightClick:
            ClickAtPointer(windows_, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
            break;
        case PointerUse::Move:
            Move(row->pointer);
            break;
        case PointerUse::None:
            break;
    }
}

void Pointer::ReleaseHeldButton() {
    if (!buttonHeld_) return;
    windows_.Button(heldButtonUp_, windows_.Cursor());
    buttonHeld_ = false;
}

}  // namespace core
