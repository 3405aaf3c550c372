#include "pointer/Pointer.h"

Bounds ScreenBounds;
int StepCounter = 0;
int ButtonHeld = 0;

namespace {

constexpr int SmallStepDivisor = 160;
constexpr int LargeStepDivisor = 80;

void SetWidth(int width) {
    ScreenBounds.minX = 0;
    ScreenBounds.minY = 0;
    ScreenBounds.maxX = width - 1;
    ScreenBounds.smallStep = width / SmallStepDivisor;
    ScreenBounds.largeStep = width / LargeStepDivisor;
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
