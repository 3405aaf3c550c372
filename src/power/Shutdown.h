// Standby, the shutdown confirmation dialog that the remote answers, and
// system shutdown.
#pragma once
#include <windows.h>

#include "core/ShutdownAnswer.h"
#include "win32/SystemCalls.h"

// True when the machine went into standby (the call returns once it has woken).
bool Standby(const SystemCalls& system);
void ShutDownSystem(const SystemCalls& system);
bool IsWindows9x();

// What the shutdown dialog works with: the remote's answer to it, which it
// tells when it is made and when it ends, and the calls that confirming it makes.
struct ShutdownDialogContext {
    core::ShutdownAnswer& answer;
    const SystemCalls& system;
};

// Runs the dialog modally; returns when it has ended. False when it could
// not be made. The dialog reaches its context through its window.
bool RunShutdownDialog(HINSTANCE instance, HWND owner, ShutdownDialogContext& context);
INT_PTR CALLBACK ShutdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
