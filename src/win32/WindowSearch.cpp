#include "win32/WindowSearch.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "win32/FailureTrace.h"
#include "win32/Scoped.h"
#include "win32/WideText.h"

namespace {

// Of kernel32 on Windows Vista and later.
using QueryFullProcessImageName = BOOL(WINAPI*)(HANDLE process, DWORD flags, LPWSTR path,
                                                PDWORD size);
// Of psapi on Windows XP.
using GetProcessImageFileName = DWORD(WINAPI*)(HANDLE process, LPWSTR path, DWORD size);

inline void UnloadLibrary(HMODULE module) { FreeLibrary(module); }
using ScopedLibrary = ScopedValue<HMODULE, UnloadLibrary>;

// Longer class names and image paths are not read.
constexpr int ClassNameBufferSize = 256;
constexpr wchar_t StoreAppFrameClass[] = L"ApplicationFrameWindow";
constexpr wchar_t StoreAppCoreWindowClass[] = L"Windows.UI.Core.CoreWindow";
constexpr DWORD ImagePathBufferSize = 1024;

// The path of the process's image file, by the call that this Windows has,
// resolved at run time so that the program still starts on Windows XP.
bool ReadImagePath(HANDLE process, wchar_t (&path)[ImagePathBufferSize]) {
    const auto query = reinterpret_cast<QueryFullProcessImageName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameW"));
    if (query != nullptr) {
        DWORD size = ImagePathBufferSize;
        return query(process, 0, path, &size) != FALSE;
    }
    const ScopedLibrary psapi(LoadLibraryA("psapi.dll"));
    const auto get = psapi ? reinterpret_cast<GetProcessImageFileName>(
                                 GetProcAddress(psapi.Get(), "GetProcessImageFileNameW"))
                           : nullptr;
    if (get == nullptr) return false;
    const DWORD length = get(process, path, ImagePathBufferSize);
    return length > 0 && length < ImagePathBufferSize;
}

// The last part of a path, after its last backslash (a device path's too).
const wchar_t* FileNameOf(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c != L'\0'; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;
    return name;
}

// Copies the name, in UTF-8, when it fits; false, leaving it empty, when it
// does not.
bool KeepName(const wchar_t* name, char (&kept)[core::ForegroundNameSize]) {
    const std::string utf8 = ToUtf8(name);
    if (utf8.size() >= sizeof kept) return false;
    std::memcpy(kept, utf8.c_str(), utf8.size() + 1);
    return true;
}

// The program file name of the process that made the window.
void NameProgram(HWND window, core::Foreground& front) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    // Windows XP knows only the full query right.
    if (!process) *process.Put() = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    wchar_t path[ImagePathBufferSize];
    if (!process || !ReadImagePath(process.Get(), path)) {
        TraceFailure("naming the program of the window in front", GetLastError());
        return;
    }
    if (!KeepName(FileNameOf(path), front.program))
        TraceFailure("keeping the long program name of the window in front", ERROR_BUFFER_OVERFLOW);
}

// The window's title in UTF-8, as much as fits at a character's end. Read
// without a message to the window, which may be hung.
void KeepTitle(HWND window, core::Foreground& front) {
    wchar_t title[core::ForegroundTitleSize];
    title[0] = L'\0';
    InternalGetWindowText(window, title, static_cast<int>(core::ForegroundTitleSize));
    std::string utf8 = ToUtf8(title);
    if (utf8.size() >= sizeof front.title) {
        size_t end = sizeof front.title - 1;
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
        utf8.resize(end);
    }
    std::memcpy(front.title, utf8.c_str(), utf8.size() + 1);
}

bool TitleBegins(HWND window, const char* prefix, size_t length) {
    char title[TitleReadBufferSize];
    title[0] = '\0';
    GetWindowTextA(window, title, TitleReadBufferSize);
    title[TitleReadBufferSize - 1] = '\0';
    return std::strncmp(title, prefix, length) == 0;
}

bool IsKeyDisplay(HWND window) {
    char windowClass[sizeof KeyDisplayClass + 1] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    return lstrcmpiA(windowClass, KeyDisplayClass) == 0;
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
    // Only the class is read of a window whose title matches.
    for (HWND window = GetWindow(desktop, GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT))
        if (TitleBegins(window, identity.title, length) && !IsKeyDisplay(window)) return window;
    return nullptr;
}

core::Foreground WindowInFront() {
    core::Foreground front;
    HWND window = GetForegroundWindow();
    if (window == nullptr) return front;
    front.window = reinterpret_cast<core::WindowRef>(window);
    wchar_t windowClass[ClassNameBufferSize] = {};
    if (GetClassNameW(window, windowClass, ClassNameBufferSize) == 0)
        TraceFailure("reading the class of the window in front", GetLastError());
    else if (!KeepName(windowClass, front.windowClass))
        TraceFailure("keeping the long class name of the window in front", ERROR_BUFFER_OVERFLOW);
    // A Store app's frame belongs to ApplicationFrameHost.exe: the app is the
    // program of the core window it hosts.
    HWND hosted = nullptr;
    if (lstrcmpiW(windowClass, StoreAppFrameClass) == 0)
        hosted = FindWindowExW(window, nullptr, StoreAppCoreWindowClass, nullptr);
    NameProgram(hosted != nullptr ? hosted : window, front);
    KeepTitle(window, front);
    return front;
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
