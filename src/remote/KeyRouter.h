// Hands each key to exactly one destination.
#pragma once
#include <windows.h>

#include "card/RemoteKey.h"

// Remote key codes with a meaning of their own in the router: Power, and the
// three keys that ask for standby or the shutdown dialog.
constexpr int PowerKey = Code(RemoteKey::Power);
constexpr int StandbyKey = Code(RemoteKey::Standby);
constexpr int ShutdownOrStandbyKey = Code(RemoteKey::Off);
constexpr int ShutdownKey = Code(RemoteKey::VolumeDown);
constexpr WPARAM QuillmarshShutdownCommand = 5001;

class TvApplication;

// What becomes of a code while an application is the remote's target.
enum class TargetRoute {
    Dropped,          // nothing happens
    PowerToggle,      // the Power key closes the application
    ShutdownCommand,  // Quillmarsh's own shutdown command
    KeyMap,           // the application's key map acts on it
};
TargetRoute RouteForTarget(const TvApplication& target, int code);

// Routes one code (SuppressedKey for a dropped repeat); owner is the window
// that owns the poll timer, the owner of the shutdown dialog.
void RouteKey(int code, HWND owner);
