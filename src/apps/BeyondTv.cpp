#include "apps/BeyondTv.h"

#include "apps/TvApplication.h"

void CloseBeyondTv() {
    BeyondTvApp.targetWindow = FindBeyondTvWindow();
    if (BeyondTvApp.targetWindow == nullptr) return;
    BringToFront(BeyondTvApp.targetWindow);
    KeyChord({VK_MENU, VK_F4});
    BeyondTvApp.active = 0;
}
