// The desktop's top-level windows: found by identity, raised, and dialogs
// placed where the program has always put them.
#pragma once
#include <windows.h>

#include "core/Desktop.h"

// Titles are read into a buffer of this size: at most 127 characters.
constexpr int TitleReadBufferSize = 128;

// The first top-level window in Z order, visible or not, with that identity,
// looked for as the identity says; NULL when there is none.
HWND FindWindowByIdentity(const core::WindowIdentity& identity);

// To the foreground, and the active window.
void BringToFront(HWND window);

// Moves a dialog to the fixed position for the screen width and makes it
// topmost; other widths leave it where its template put it.
void PlaceDialog(HWND dialog);
// The same for a given screen width.
void PlaceDialogForWidth(HWND dialog, int screenWidth);
