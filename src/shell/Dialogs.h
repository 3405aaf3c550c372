// The About and Settings dialogs, and the placement all dialogs share.
#pragma once
#include <windows.h>

// Moves a dialog to the fixed position for the screen width and makes it
// topmost; other widths leave it where its template put it.
void PlaceDialog(HWND dialog);
// The same for a given screen width.
void PlaceDialogForWidth(HWND dialog, int screenWidth);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
