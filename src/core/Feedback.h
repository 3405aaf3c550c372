// What the decisions tell the user, and the failure trace: the key display,
// message boxes, the shutdown dialog, the tray icon's tip.
#pragma once
#include <cstdint>

namespace core {

class ShutdownAnswer;

// What a message box tells the user.
enum class Notice {
    LaunchFailed,          // a TV application could not be started
    ReinitializeSettings,  // Power's default application is not installed
};

// Who acted on a key, as the key display names it: an application or a
// profile (by its name), the media keys or the pointer.
enum class KeyDoer { Named, Media, Pointer };

// What the pointer did for a key.
enum class PointerAction {
    None,
    LeftClick,
    RightClick,
    Button,  // held down, or let go
    Up,
    Down,
    Left,
    Right,
    UpLeft,
    UpRight,
    DownLeft,
    DownRight,
};

// What a key did, for the key display: who did it, and the key's label (its
// row's) or, for the pointer, its action.
struct KeyDone {
    KeyDoer who;
    const char* name;   // Named: the application's or the profile's name; else null
    const char* label;  // the key's label; null for the pointer
    PointerAction pointer;
};

class Feedback {
public:
    // The key display shows what the key did for about a second.
    virtual void ShowKeyAction(const KeyDone& done) = 0;
    // A message box with the program's caption and the style (MB_*).
    virtual void ShowMessage(Notice notice, unsigned style) = 0;
    // Runs the shutdown dialog modally, which tells the answer when it is
    // made and when it ends; returns once it has ended.
    virtual void RunShutdownDialog(ShutdownAnswer& answer) = 0;
    // The tray icon's tip says whether the receiver is missing.
    virtual void ShowReceiverMissing(bool missing) = 0;
    // Writes a failure the program has detected, with its code, to the trace.
    virtual void TraceFailure(const char* what, uint32_t code) = 0;

protected:
    ~Feedback() = default;
};

}  // namespace core
