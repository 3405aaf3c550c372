#include "AppStatus.h"

#include "KeyDocs.h"

#include <windows.h>

namespace vremote {
namespace {

// The window that tells each application is running.
struct AppWindow {
    keydocs::Mode mode;
    const wchar_t* windowClass;
    const wchar_t* title;
};

constexpr AppWindow AppWindows[] = {
    {keydocs::Mode::Quillmarsh, L"VarnelMainPanel_Class", nullptr},
    {keydocs::Mode::BeyondTv, L"Streamzap.WM.D3D", nullptr},
    {keydocs::Mode::WinDvr, nullptr, L"InterVideo WinDVR 6"},
};

constexpr char NoApplication[] = "none (pointer mode)";

}  // namespace

std::string OpenApplications(const WindowExists& exists) {
    std::string text;
    for (const AppWindow& app : AppWindows) {
        if (!exists(app.windowClass, app.title)) continue;
        if (!text.empty()) text += ", ";
        text += keydocs::ModeName(app.mode);
    }
    return text.empty() ? NoApplication : text;
}

bool TopLevelWindowExists(const wchar_t* windowClass, const wchar_t* title) {
    return FindWindowW(windowClass, title) != nullptr;
}

}  // namespace vremote
