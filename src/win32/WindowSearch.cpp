#include "win32/WindowSearch.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

bool TitleBegins(HWND window, const char* prefix, size_t length) {
    char title[TitleReadBufferSize];
    title[0] = '\0';
    GetWindowTextA(window, title, TitleReadBufferSize);
    title[TitleReadBufferSize - 1] = '\0';
    return std::strncmp(title, prefix, length) == 0;
}

struct Placement {
    int screenWidth;
    int x;
    int y;
};

constexpr Placement Placements[] = {
    {640, 160, 200}, {800, 280, 250}, {1024, 350, 300},
    {1152, 420, 300}, {1280, 420, 300}, {1600, 580, 340},
};

}  // namespace

HWND FindWindowByIdentity(const core::WindowIdentity& identity) {
    HWND desktop = GetDesktopWindow();
    switch (identity.lookup) {
        case core::Lookup::FindWindow:
            return FindWindowA(identity.windowClass, identity.title);
        case core::Lookup::DesktopChild:
            return FindWindowExA(desktop, nullptr, identity.windowClass, identity.title);
        default:
            break;
    }
    // The terminator is compared too when the whole title must match.
    const size_t length =
        std::strlen(identity.title) + (identity.lookup == core::Lookup::ExactTitle ? 1 : 0);
    if (identity.windowClass != nullptr) {
        for (HWND window = FindWindowExA(desktop, nullptr, identity.windowClass, nullptr);
             window != nullptr;
             window = FindWindowExA(desktop, window, identity.windowClass, nullptr))
            if (TitleBegins(window, identity.title, length)) return window;
        return nullptr;
    }
    for (HWND window = GetWindow(desktop, GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT))
        if (TitleBegins(window, identity.title, length)) return window;
    return nullptr;
}

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

void PlaceDialog(HWND dialog) { PlaceDialogForWidth(dialog, GetSystemMetrics(SM_CXFULLSCREEN)); }

void PlaceDialogForWidth(HWND dialog, int width) {
    const Placement* placement =
        std::find_if(std::begin(Placements), std::end(Placements),
                     [width](const Placement& p) { return p.screenWidth == width; });
    if (placement != std::end(Placements))
        SetWindowPos(dialog, HWND_TOPMOST, placement->x, placement->y, 0, 0, SWP_NOSIZE);
}
