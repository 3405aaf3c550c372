// The pointer's input as Windows takes it: button events and relative moves
// by mouse_event, the cursor's position, and the screen the bounds come from.
#pragma once
#include <windows.h>

#include "core/Desktop.h"

// One button event at a position, marked with the thread's extra message info.
void SendButtonEvent(unsigned event, core::Point at);
// A relative move by input, by dx and dy pixels.
void SendRelativeMove(int dx, int dy);
core::Point CursorPosition();
void MoveCursorTo(core::Point at);
bool ButtonsSwapped();
// The full-screen window area (SM_CXFULLSCREEN, SM_CYFULLSCREEN).
SIZE FullScreenSize();
