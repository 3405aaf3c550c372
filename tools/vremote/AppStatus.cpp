#include "AppStatus.h"

#include "core/Applications.h"

#include <windows.h>

#include <cstring>

namespace vremote {
namespace {

constexpr char NoApplication[] = "none (pointer mode)";
constexpr int MaxText = 256;

// A window read in Z order, for the lookups that compare its title themselves.
struct TitleSearch {
    const core::WindowIdentity* identity;
    bool found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TitleSearch*>(param);
    const core::WindowIdentity& identity = *search.identity;
    char text[MaxText] = {};
    if (identity.windowClass != nullptr) {
        GetClassNameA(window, text, MaxText);
        if (lstrcmpiA(text, identity.windowClass) != 0) return TRUE;  // as Windows compares classes
    }
    GetWindowTextA(window, text, MaxText);
    const char* title = identity.title != nullptr ? identity.title : "";
    search.found = identity.lookup == core::Lookup::TitlePrefix
                       ? std::strncmp(text, title, std::strlen(title)) == 0
                       : std::strcmp(text, title) == 0;
    return !search.found;
}

}  // namespace

std::string OpenApplications(const WindowExists& exists) {
    std::string text;
    for (const core::Application& application : core::Applications) {
        if (!exists(application.adopt)) continue;
        if (!text.empty()) text += ", ";
        text += application.name;
    }
    return text.empty() ? NoApplication : text;
}

bool TopLevelWindowExists(const core::WindowIdentity& identity) {
    if (identity.lookup != core::Lookup::ExactTitle && identity.lookup != core::Lookup::TitlePrefix)
        return FindWindowA(identity.windowClass, identity.title) != nullptr;  // as Windows compares
    TitleSearch search{&identity, false};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace vremote
