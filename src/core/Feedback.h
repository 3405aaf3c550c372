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

class Feedback {
public:
    // The key display shows the text for about a second.
    virtual void ShowKeyAction(const char* text) = 0;
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
