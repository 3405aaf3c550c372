// The About and Settings dialogs.
#pragma once
#include <windows.h>

#include "core/State.h"

// Runs the Settings dialog modally on the state's settings.
void RunSettingsDialog(HINSTANCE instance, HWND owner, core::State& state);
// The same dialog, modeless, for the tests; the state must outlive it.
HWND CreateSettingsDialog(HINSTANCE instance, HWND owner, core::State& state);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
