// The desktop's top-level windows: found by identity, the window in front
// named, raised, and dialogs placed where the program has always put them.
#pragma once
#include <windows.h>

#include "core/Windows.h"
#include "res/resource.h"

// Titles are read into a buffer of this size: at most 127 characters.
constexpr int TitleReadBufferSize = 128;

// The window class of the program's key display. Its title is the text it
// shows, which begins with an application's name ("WinDVR 6: Ch+"): the
// lookups by title pass over it.
#define KEY_DISPLAY_CLASS PROGRAM_NAME " Key Display"
constexpr char KeyDisplayClass[] = KEY_DISPLAY_CLASS;
constexpr wchar_t KeyDisplayWideClass[] = L"" KEY_DISPLAY_CLASS;

// The first top-level window in Z order, visible or not, with that identity,
// looked for as the identity says (never the key display); NULL when there is
// none.
HWND FindWindowByIdentity(const core::WindowIdentity& identity);

// The foreground window, its class and its process's program file name
// ("vlc.exe"), both in UTF-8; a name that cannot be read or is too long to keep is left
// empty, the failure traced. All zero when no window is in front.
core::Foreground WindowInFront();

// To the foreground, and the active window.
void BringToFront(HWND window);

// Moves a dialog to the fixed position for the screen width and makes it
// topmost; other widths leave it where its template put it.
void PlaceDialog(HWND dialog);
// The same for a given screen width.
void PlaceDialogForWidth(HWND dialog, int screenWidth);
