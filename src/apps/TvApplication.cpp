#include "apps/TvApplication.h"

#include <cstring>

#include "shell/Program.h"
#include "win32/Win32.h"
#include "win32/WindowSearch.h"

namespace {

constexpr UINT WinExecSuccessFloor = 31;
constexpr int CommandLineSize = 256;
constexpr char LaunchFailedText[] = "Can't run launch TV application what you want.";

void CopyText(char* destination, const char* source, size_t size) {
    std::strncpy(destination, source, size - 1);
    destination[size - 1] = '\0';
}

}  // namespace

TvApplication::TvApplication(const char* keyPath, const char* valueName, const char* executable,
                             const char* windowClassName, const char* windowTitlePrefix,
                             WindowLookup keyTarget)
    : installKey(keyPath), installValue(valueName), executable(executable),
      findKeyTarget(keyTarget) {
    CopyText(windowClass, windowClassName, sizeof windowClass);
    CopyText(titlePrefix, windowTitlePrefix, sizeof titlePrefix);
}

bool TvApplication::ReadInstallInfo() {
    installed = false;
    DWORD size = sizeof installPath;
    LONG result;
    {
        ScopedRegKey key;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, installKey, key.Put()) != ERROR_SUCCESS) return false;
        result = RegQueryValueExA(key.Get(), installValue, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(installPath), &size);
    }
    // The data is taken as stored, whatever its type. A path that fills the
    // whole buffer has no room for its terminator: it is too long to use.
    const bool terminated = size < sizeof installPath || installPath[sizeof installPath - 1] == '\0';
    if (result != ERROR_SUCCESS || !terminated) {
        installPath[0] = '\0';
        return false;
    }
    installPath[size < sizeof installPath ? size : sizeof installPath - 1] = '\0';

    CopyText(exeName, executable, sizeof exeName);
    installed = true;
    active = false;
    return true;
}

void ReadInstallLocations() {
    for (TvApplication* application : {&WinDvrApp, &BeyondTvApp, &QuillmarshApp})
        application->ReadInstallInfo();
}

HWND TvApplication::FindByTitlePrefix() const { return FindWindowByTitlePrefix(titlePrefix); }

HWND TvApplication::FindMainWindow() const {
    if (windowClass[0] != '\0') return FindWindowA(windowClass, nullptr);
    return FindByTitlePrefix();
}

HWND TvApplication::FindOwnTitledWindow() const {
    if (windowClass[0] == '\0') return FindByTitlePrefix();
    return FindWindowOfClassByTitlePrefix(windowClass, titlePrefix);
}

bool TvApplication::HasWindow() const {
    if (findKeyTarget != nullptr && findKeyTarget() != nullptr) return true;
    return FindMainWindow() != nullptr;
}

bool TvApplication::StillRuns() const {
    if (targetWindow != nullptr && IsWindow(targetWindow)) return true;
    if (seenWindow != nullptr && IsWindow(seenWindow)) return true;
    return HasWindow();
}

HWND TvApplication::Launch() {
    if (HWND window = FindMainWindow()) return window;
    if (!installed) return nullptr;

    // The path is quoted: unquoted, a path with spaces would make Windows try
    // every shorter prefix of it ("C:\Program.exe", ...) as the program first.
    char commandLine[CommandLineSize];
    wsprintfA(commandLine, "\"%s\\%s\"", installPath, exeName);  // at most 194 bytes
    const UINT started = WinExec(commandLine, SW_SHOW);
    if (started >= WinExecSuccessFloor) {
        active = true;
    } else {
        TraceFailure("starting a TV application", started);
        MessageBoxA(nullptr, LaunchFailedText, MessageCaption, MB_OK);
    }
    return FindMainWindow();
}

HWND TvApplication::ShowOrLaunch() {
    if (!installed) return nullptr;
    HWND window = FindOwnTitledWindow();
    if (window == nullptr) window = Launch();
    if (window == nullptr) return nullptr;
    seenWindow = window;
    BringToFront(window);
    return window;
}

TvApplication* ApplicationFor(int selector) {
    switch (selector) {
        case SelectQuillmarsh: return &QuillmarshApp;
        case SelectBeyondTv: return &BeyondTvApp;
        case SelectWinDvr: return &WinDvrApp;
        default: return nullptr;
    }
}

HWND FindWinDvrWindow() { return FindWindowByExactTitle(WinDvrTitle); }

HWND FindBeyondTvWindow() { return FindTopLevelByClass(BeyondTvVideoClass); }

HWND FindQuillmarshWindow() { return FindTopLevelByClass(QuillmarshPanelClass); }

int IsWinDvrRunning() { return WinDvrApp.FindByTitlePrefix() != nullptr; }

int IsBeyondTvRunning() { return FindTopLevelByClass(BeyondTvMainClass) != nullptr; }

int IsQuillmarshRunning() { return FindQuillmarshWindow() != nullptr; }

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

void KeyChord(const BYTE* keys, size_t count) {
    for (size_t i = 0; i < count; ++i) keybd_event(keys[i], 0, KEYEVENTF_EXTENDEDKEY, 0);
    for (size_t i = count; i-- > 0;)
        keybd_event(keys[i], 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}

void KeyChord(std::initializer_list<BYTE> keys) { KeyChord(keys.begin(), keys.size()); }
