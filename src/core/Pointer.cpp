#include "core/Pointer.h"

#include "core/Sdk.h"

namespace core {

namespace {

constexpr int SmallStepDivisor = 160;
constexpr int LargeStepDivisor = 80;
constexpr int OnePixelMoves = 4;   // moves 1 to 4 of a run go one pixel
constexpr int SmallStepMoves = 9;  // moves 5 to 9 go the small step
constexpr int SlowStep = 10;
constexpr int FastStepExtra = 40;

void SetWidth(ScreenBounds& bounds, int width) {
    bounds.minX = 0;
    bounds.minY = 0;
    bounds.maxX = width - 1;
    bounds.smallStep = width / SmallStepDivisor;
    bounds.largeStep = width / LargeStepDivisor;
}

bool Inside(const ScreenBounds& bounds, int x, int y) {
    return bounds.minX < x && x < bounds.maxX && bounds.minY < y && y < bounds.maxY;
}

void ToggleHeldButton(PointerState& pointer, Desktop& desktop) {
    const bool swapped = desktop.ButtonsSwapped();
    const Point position = desktop.Cursor();
    if (!pointer.buttonHeld) {
        desktop.Button(swapped ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, position);
        pointer.heldButtonUp = swapped ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        pointer.buttonHeld = true;
    } else {
        // The button that went down comes up, even if the buttons were
        // swapped meanwhile: the other one's up-event would leave it held.
        desktop.Button(pointer.heldButtonUp, position);
        pointer.buttonHeld = false;
    }
}

void MovePointer(PointerState& pointer, Desktop& desktop, const PointerRole& direction) {
    const ScreenBounds& bounds = pointer.bounds;
    const int move = ++pointer.stepCounter;
    const int step = move <= OnePixelMoves   ? 1
                     : move <= SmallStepMoves ? bounds.smallStep
                                              : bounds.largeStep;
    const Point position = desktop.Cursor();
    const Point next = {position.x + direction.dx * step, position.y + direction.dy * step};
    if (Inside(bounds, next.x, next.y)) {
        desktop.SetCursor(next);
    } else {
        pointer.stepCounter = 0;
    }
}

}  // namespace

void InitScreenBounds(PointerState& pointer, int width, int height) {
    SetWidth(pointer.bounds, width);
    pointer.bounds.maxY = height % 2 != 0 ? height + 18 : height - 1;
}

void UpdateScreenBounds(PointerState& pointer, uint32_t resolution) {
    SetWidth(pointer.bounds, static_cast<int>(resolution & 0xFFFF));
    pointer.bounds.maxY = static_cast<int>(resolution >> 16) - 1;
}

void ClickAtPointer(Desktop& desktop, unsigned downEvent, unsigned upEvent) {
    const Point position = desktop.Cursor();
    desktop.Button(downEvent, position);
    desktop.Button(upEvent, position);
}

void MoveByStep(Desktop& desktop, int dx, int dy, bool fastStep) {
    const int step = SlowStep + (fastStep ? FastStepExtra : 0);
    desktop.MoveBy(dx * step, dy * step);
}

const char* DirectionName(int dx, int dy) {
    static constexpr const char* Names[3][3] = {
        {"up-left", "left", "down-left"},
        {"up", "", "down"},
        {"up-right", "right", "down-right"},
    };
    return dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 ? Names[dx + 1][dy + 1] : "";
}

const char* PointerActionName(int code) {
    const RemoteKeyRow* row = RowOf(code);
    switch (row != nullptr ? row->pointer.use : PointerUse::None) {
        case PointerUse::LeftClick:
            return "left click";
        case PointerUse::RightClick:
            return "right click";
        case PointerUse::ToggleButton:
            return "button";
        case PointerUse::Move:
            return DirectionName(row->pointer.dx, row->pointer.dy);
        case PointerUse::None:
            break;
    }
    return nullptr;
}

void PointerAction(PointerState& pointer, Desktop& desktop, int code) {
    const RemoteKeyRow* row = RowOf(code);
    if (row == nullptr) return;
    switch (row->pointer.use) {
        case PointerUse::LeftClick:
            ClickAtPointer(desktop, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            break;
        case PointerUse::ToggleButton:
            ToggleHeldButton(pointer, desktop);
            break;
        case PointerUse::RightClick:
            ClickAtPointer(desktop, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
            break;
        case PointerUse::Move:
            MovePointer(pointer, desktop, row->pointer);
            break;
        case PointerUse::None:
            break;
    }
}

void ReleaseHeldButton(PointerState& pointer, Desktop& desktop) {
    if (!pointer.buttonHeld) return;
    desktop.Button(pointer.heldButtonUp, desktop.Cursor());
    pointer.buttonHeld = false;
}

}  // namespace core
