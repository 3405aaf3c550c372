// The windows and the input of the desktop, as the decisions see them: they
// ask which windows exist and where the pointer is, and hand the desktop
// their effects on windows, keys and the pointer, one call per effect, in
// the order they happen. The shell answers and performs them with Win32 and
// owns every handle; the native tests record them.
#pragma once
#include <cstddef>
#include <cstdint>

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
constexpr size_t ForegroundTitleSize = 512;
struct Foreground {
    WindowRef window = 0;                   // 0: none
    // Its process's file name, "" when unknown; for a Store app's frame
    // (ApplicationFrameWindow), the hosted app's.
    char program[ForegroundNameSize] = {};
    char windowClass[ForegroundNameSize] = {};
    char title[ForegroundTitleSize] = {};   // in UTF-8, cut short when longer
};

class Windows {
public:
    // The first top-level window with that identity; 0 when there is none.
    virtual WindowRef Find(const WindowIdentity& identity) = 0;
    virtual bool Exists(WindowRef window) = 0;
    // The window in front, its program's file name, its class and title: one
    // lookup (two for a Store app's frame, whose hosted app is looked for).
    virtual Foreground ForegroundWindow() = 0;
    virtual void Post(WindowRef window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    virtual void Send(WindowRef window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    // To the foreground, and the active window.
    virtual void Raise(WindowRef window) = 0;
    // WM_APPCOMMAND with the command (APPCOMMAND_*) to the window.
    virtual void SendAppCommand(WindowRef window, unsigned command) = 0;
    // Runs the command line; false when it could not be started.
    virtual bool Start(const char* commandLine) = 0;

    // Keys and the pointer.
    // Presses the keys in order, then releases them in reverse order.
    virtual void TypeChord(const uint8_t* keys, size_t count) = 0;
    // Types the keys to the window in front as one input (SendInput): pressed
    // in order, then released in reverse order.
    virtual void TypeToForeground(const uint8_t* keys, size_t count) = 0;
    virtual Point Cursor() = 0;
    virtual bool ButtonsSwapped() = 0;
    // A relative pointer move by input, not clipped.
    virtual void MoveBy(int dx, int dy) = 0;
    // One button event (MOUSEEVENTF_*) at a position.
    virtual void Button(unsigned event, Point at) = 0;
    virtual void SetCursor(Point at) = 0;

protected:
    ~Windows() = default;
};

}  // namespace core
