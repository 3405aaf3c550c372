// What the program's decisions need from the desktop, and what they do to it.
// The decisions (Remote, Pointer, the settings choice) are plain C++: they ask
// the desktop which windows exist and hand it their effects, one call per
// effect, in the order they happen. The shell answers and performs them with
// Win32 and owns every handle; the native tests record them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/List.h"

namespace core {

// A window of the desktop as the shell names it (its handle); 0 for none.
using WindowRef = std::uintptr_t;

struct Point {
    int x = 0;
    int y = 0;
};

// How a window is recognised, and how it is looked for. The lookups differ in
// the calls they make and in how they compare a title; each identity keeps
// the lookup the program has always made for that purpose.
enum class Lookup : uint8_t {
    FindWindow,    // FindWindow: by class and whole title, as Windows compares them
    DesktopChild,  // FindWindowEx on the desktop window: the same comparison
    ExactTitle,    // the titles of all windows read in Z order, compared exactly
    TitlePrefix,   // the titles read in Z order (of the class's windows, when a
                   // class is given), compared as a beginning; case-sensitive
};

struct WindowIdentity {
    const char* windowClass;  // null: any class
    const char* title;        // null: any title
    Lookup lookup;
};

constexpr WindowIdentity FoundByClass(const char* windowClass) {
    return {windowClass, nullptr, Lookup::FindWindow};
}
constexpr WindowIdentity DesktopChildOfClass(const char* windowClass) {
    return {windowClass, nullptr, Lookup::DesktopChild};
}
constexpr WindowIdentity DesktopChildTitled(const char* title) {
    return {nullptr, title, Lookup::DesktopChild};
}
constexpr WindowIdentity ByExactTitle(const char* title) {
    return {nullptr, title, Lookup::ExactTitle};
}
constexpr WindowIdentity ByTitlePrefix(const char* prefix) {
    return {nullptr, prefix, Lookup::TitlePrefix};
}
constexpr WindowIdentity ByClassAndTitlePrefix(const char* windowClass, const char* prefix) {
    return {windowClass, prefix, Lookup::TitlePrefix};
}

// The window in front, as a player's profile is matched against it.
constexpr size_t ForegroundNameSize = 64;
struct Foreground {
    WindowRef window = 0;                   // 0: none
    char program[ForegroundNameSize] = {};  // its process's file name, "" when unknown
    char windowClass[ForegroundNameSize] = {};
};

struct Profile;

class Desktop {
public:
    // Questions.
    // The first top-level window with that identity; 0 when there is none.
    virtual WindowRef Find(const WindowIdentity& identity) = 0;
    virtual bool Exists(WindowRef window) = 0;
    virtual Point Cursor() = 0;
    virtual bool ButtonsSwapped() = 0;
    // Milliseconds of the system's tick counter, which wraps.
    virtual uint32_t Now() = 0;
    // The window in front, its program's file name and its class: one lookup.
    virtual Foreground ForegroundWindow() = 0;
    // The players' profiles as profiles.ini says them now: read again when
    // the file has changed since it was last read, and written from the
    // built-in profiles when it is missing.
    virtual List<Profile> Profiles() = 0;

    // Effects.
    virtual void Post(WindowRef window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    virtual void Send(WindowRef window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    // To the foreground, and the active window.
    virtual void Raise(WindowRef window) = 0;
    // Presses the keys in order, then releases them in reverse order.
    virtual void TypeChord(const uint8_t* keys, size_t count) = 0;
    // Types the keys to the window in front as one input (SendInput): pressed
    // in order, then released in reverse order.
    virtual void TypeToForeground(const uint8_t* keys, size_t count) = 0;
    // WM_APPCOMMAND with the command (APPCOMMAND_*) to the window.
    virtual void SendAppCommand(WindowRef window, unsigned command) = 0;
    // The key display shows the text for about a second.
    virtual void ShowKeyAction(const char* text) = 0;
    // A relative pointer move by input, not clipped.
    virtual void MoveBy(int dx, int dy) = 0;
    // One button event (MOUSEEVENTF_*) at a position.
    virtual void Button(unsigned event, Point at) = 0;
    virtual void SetCursor(Point at) = 0;
    // Runs the command line; false when it could not be started.
    virtual bool Start(const char* commandLine) = 0;
    // A message box with the program's caption and the style (MB_*).
    virtual void ShowMessage(const char* text, unsigned style) = 0;
    // Puts the machine into standby; true when it went (it has woken again).
    virtual bool Standby() = 0;
    // Runs the shutdown dialog modally; returns once it has ended.
    virtual void RunShutdownDialog() = 0;
    virtual void SetWatchTimer(bool running) = 0;

    // The card's receiver.
    // Looks for the card and opens its receiver; true when it was found.
    virtual bool OpenReceiver() = 0;
    // Lets go of the receiver (its control, its filter and its graph).
    virtual void CloseReceiver() = 0;
    virtual void SetPolling(bool running) = 0;
    // The link's one-shot timer; 0 stops it.
    virtual void SetLinkTimer(uint32_t ms) = 0;
    // The tray icon's tip says whether the receiver is missing.
    virtual void ShowReceiverMissing(bool missing) = 0;
    // Writes a failure the program has detected, with its code, to the trace.
    virtual void TraceFailure(const char* what, uint32_t code) = 0;

protected:
    ~Desktop() = default;
};

}  // namespace core
