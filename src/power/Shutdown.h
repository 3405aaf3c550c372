// Standby, the shutdown confirmation dialog that the remote answers, and
// system shutdown.
#pragma once
#include <windows.h>

extern bool ShutdownDialogOpen;      // true while the dialog is open
extern HWND ShutdownDialogWindow;    // stored when the dialog initialises

// What confirming the dialog runs: ShutDownSystem, or a stand-in that a test
// puts here (the real one ends every process of the session).
extern void (*ConfirmedShutdown)();

void Standby();
// Runs the dialog modally; returns when it has ended.
void ShowShutdownDialog(HWND owner);
INT_PTR CALLBACK ShutdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShutDownSystem();
bool IsWindows9x();
