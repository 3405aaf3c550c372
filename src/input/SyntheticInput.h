// Input made by the program as Windows takes it: key chords by keybd_event;
// the pointer's button events and relative moves by mouse_event, the
// cursor's position, and the screen the pointer's bounds come from.
#pragma once
#include <windows.h>

#include <cstddef>

#include "core/Desktop.h"

// Presses the keys in order, then releases them in reverse order; every key
// carries the extended-key flag.
void KeyChord(const BYTE* keys, size_t count);

// One button event at a position, marked with the thread's extra message info.
void SendButtonEvent(unsigned event, core::Point at);
// A relative move by input, by dx and dy pixels.
void SendRelativeMove(int dx, int dy);
core::Point CursorPosition();
void MoveCursorTo(core::Point at);
bool ButtonsSwapped();
// The full-screen window area (SM_CXFULLSCREEN, SM_CYFULLSCREEN).
SIZE FullScreenSize();
