// The About and Settings dialogs.
#pragma once
#include <windows.h>

#include "apps/ProfileStore.h"
#include "core/State.h"
#include "shell/KeyServer.h"
#include "win32/SystemCalls.h"

// What the Settings dialog works with: the state whose settings it shows and
// tells the decisions' choices to, the calls through which it reports a
// store that failed and opens profiles.ini in the user's text editor, and the
// profile store that it describes, and the key server, whose programs it
// counts (none: no count).
struct SettingsDialogContext {
    core::State& state;
    const SystemCalls& system;
    ProfileStore& profiles;
    const KeyServer* server = nullptr;
};

// Runs the About dialog modally.
void RunAboutDialog(HINSTANCE instance, HWND owner);
// Runs the Settings dialog modally. The dialog reaches its context through
// its window.
void RunSettingsDialog(HINSTANCE instance, HWND owner, SettingsDialogContext& context);
// The same dialog, modeless, for the tests; the context must outlive it.
HWND CreateSettingsDialog(HINSTANCE instance, HWND owner, SettingsDialogContext& context);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
