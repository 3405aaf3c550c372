#include "apps/WinDvr.h"

#include "apps/TvApplication.h"

void CloseWinDvr() {
    if (WinDvrApp.FindByTitlePrefix() == nullptr) return;
    KeyChord({VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8});
    WinDvrApp.active = 0;
}
