// The record of one driven TV application: installed or not, where, how its
// windows are recognised, how it is started, and whether it is the target.
#pragma once
#include <windows.h>

#include <cstddef>
#include <initializer_list>

constexpr int InstallPathSize = 128;
constexpr int ShortTextSize = 64;

class TvApplication {
public:
    using WindowLookup = HWND (*)();

    // Where the install directory is kept (HKEY_LOCAL_MACHINE\keyPath,
    // valueName) and how the application is known; keyTarget is the lookup
    // of the window that the key map addresses. Nothing is read here: the
    // strings must outlive the record.
    TvApplication(const char* keyPath, const char* valueName, const char* executable,
                  const char* windowClassName, const char* windowTitlePrefix,
                  WindowLookup keyTarget = nullptr);
    TvApplication(const TvApplication&) = delete;
    TvApplication& operator=(const TvApplication&) = delete;

    // Reads the install directory from the registry; true when installed.
    bool ReadInstallInfo();

    HWND FindByTitlePrefix() const;
    HWND FindMainWindow() const;
    // The window to raise: one of the application's own class whose title
    // begins with titlePrefix, so that another application's window with a
    // look-alike title never stands in for it; by the title alone only for
    // an application without a class.
    HWND FindOwnTitledWindow() const;
    // True while any window by which the application is known exists (its
    // key-map target or its main window).
    bool HasWindow() const;
    // The same, answered without a search while a window of it seen last
    // (targetWindow, or seenWindow) still exists.
    bool StillRuns() const;
    HWND Launch();
    HWND ShowOrLaunch();
    bool IsInstalled() const { return installed; }
    void ClearActive() { active = false; }

    bool installed = false;
    bool active = false;
    char installPath[InstallPathSize] = {};
    char exeName[ShortTextSize] = {};
    char windowClass[ShortTextSize] = {};
    char titlePrefix[ShortTextSize] = {};
    HWND targetWindow = nullptr;
    bool fastStep = false;
    const char* installKey;
    const char* installValue;
    const char* executable;
    WindowLookup findKeyTarget = nullptr;
    HWND seenWindow = nullptr;  // found when adopted or raised; only a cache for StillRuns
};

extern TvApplication WinDvrApp;
extern TvApplication BeyondTvApp;
extern TvApplication QuillmarshApp;

// Reads where each of the three applications is installed; once, at start.
void ReadInstallLocations();

// Selector values of the default application.
constexpr int SelectQuillmarsh = 6;
constexpr int SelectBeyondTv = 7;
constexpr int SelectWinDvr = 8;

// The record that a default-application selector names; null for any other value.
TvApplication* ApplicationFor(int selector);

// Window identities.
constexpr char WinDvrTitle[] = "InterVideo WinDVR 6";
constexpr char BeyondTvVideoClass[] = "Streamzap.WM.D3D";
constexpr char BeyondTvMainClass[] = "SnapStream";
constexpr char QuillmarshPanelClass[] = "VarnelMainPanel_Class";

// Key-map target lookups.
HWND FindWinDvrWindow();
HWND FindBeyondTvWindow();
HWND FindQuillmarshWindow();

// Tray-menu probes.
int IsWinDvrRunning();
int IsBeyondTvRunning();
int IsQuillmarshRunning();

// Foreground and active window.
void BringToFront(HWND window);

// Presses the keys in order, then releases them in reverse order; every key
// carries the extended-key flag.
void KeyChord(const BYTE* keys, size_t count);
void KeyChord(std::initializer_list<BYTE> keys);
