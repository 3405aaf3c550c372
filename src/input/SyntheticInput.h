// Input made by the program as Windows takes it: key chords by keybd_event,
// keys typed to the window in front by SendInput; the pointer's button events and relative moves by mouse_event, the
// cursor's position, and the screen the pointer's bounds come from.
#pragma once
#include <windows.h>

#include <cstddef>

#include "core/Windows.h"

// Presses the keys in order, then releases them in reverse order; every key
// carries the extended-key flag.
void KeyChord(const BYTE* keys, size_t count);

// At most this many keys are typed at once: a chord of a key map's row.
constexpr size_t MaxTypedKeys = 4;
// True for the keys that a keyboard sends with the E0 prefix: the arrows,
// Home, End, Page Up and Down, Insert, Delete, the right-hand Ctrl and Alt,
// the Windows and menu keys, the keypad's divide and Enter (core::NumEnterKey),
// Num Lock, Print Screen, and the browser and media keys.
bool IsExtendedKey(BYTE vk);
// Types the keys (at most MaxTypedKeys) as one input: pressed in order, then
// released in reverse order, each with its scan code, the extended-key flag
// only where the key has it. False, traced, when Windows took not all of it.
bool TypeKeys(const BYTE* keys, size_t count);

// One button event at a position, marked with the thread's extra message info.
void SendButtonEvent(unsigned event, core::Point at);
// A relative move by input, by dx and dy pixels.
void SendRelativeMove(int dx, int dy);
core::Point CursorPosition();
void MoveCursorTo(core::Point at);
bool ButtonsSwapped();
// The full-screen window area (SM_CXFULLSCREEN, SM_CYFULLSCREEN).
SIZE FullScreenSize();
