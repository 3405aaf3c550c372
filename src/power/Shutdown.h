// Standby, the shutdown confirmation dialog that the remote answers, and
// system shutdown.
#pragma once
#include <windows.h>

#include "core/State.h"
#include "win32/Win32.h"

// True when the machine went into standby (the call returns once it has woken).
bool Standby(const SystemCalls& system);
void ShutDownSystem(const SystemCalls& system);
bool IsWindows9x();

// What the shutdown dialog works with: the state whose flag and window it
// keeps, and the calls that confirming it makes.
struct ShutdownDialogContext {
    core::State& state;
    const SystemCalls& system;
};

// Runs the dialog modally; returns when it has ended. False when it could
// not be made.
bool RunShutdownDialog(HINSTANCE instance, HWND owner, ShutdownDialogContext& context);
INT_PTR CALLBACK ShutdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
