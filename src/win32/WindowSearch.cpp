#include "win32/WindowSearch.h"

#include <cstring>

namespace {

enum class TitleMatch { Prefix, Exact };

HWND FindByTitle(const char* text, TitleMatch match) {
    const size_t length = std::strlen(text);
    char title[TitleReadBufferSize];
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        title[0] = '\0';
        GetWindowTextA(window, title, TitleReadBufferSize);
        title[TitleReadBufferSize - 1] = '\0';
        const bool matches = match == TitleMatch::Prefix
                                 ? std::strncmp(title, text, length) == 0
                                 : std::strcmp(title, text) == 0;
        if (matches) return window;
    }
    return nullptr;
}

}  // namespace

HWND FindWindowByTitlePrefix(const char* prefix) { return FindByTitle(prefix, TitleMatch::Prefix); }

HWND FindWindowByExactTitle(const char* title) { return FindByTitle(title, TitleMatch::Exact); }

HWND FindWindowOfClassByTitlePrefix(const char* windowClass, const char* prefix) {
    const size_t length = std::strlen(prefix);
    char title[TitleReadBufferSize];
    HWND desktop = GetDesktopWindow();
    for (HWND window = FindWindowExA(desktop, nullptr, windowClass, nullptr); window != nullptr;
         window = FindWindowExA(desktop, window, windowClass, nullptr)) {
        title[0] = '\0';
        GetWindowTextA(window, title, TitleReadBufferSize);
        title[TitleReadBufferSize - 1] = '\0';
        if (std::strncmp(title, prefix, length) == 0) return window;
    }
    return nullptr;
}

HWND FindTopLevelByClass(const char* windowClass) {
    return FindWindowExA(GetDesktopWindow(), nullptr, windowClass, nullptr);
}

HWND FindTopLevelByTitle(const char* title) {
    return FindWindowExA(GetDesktopWindow(), nullptr, nullptr, title);
}
