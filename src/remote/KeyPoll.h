// The key poll: one tick every 65 ms reads the receiver, tells first presses
// from auto-repeats and routes the key.
#pragma once
#include <windows.h>

// Marks an auto-repeat that is dropped; never reaches a key map.
constexpr int SuppressedKey = -1;
// Reads of the same code closer than this are auto-repeats.
constexpr DWORD RepeatWindowMs = 250;

// While a TV application is the target, a held key delivers its first read
// and then every tenth repeat.
constexpr int RepeatsPerDelivery = 10;

struct RepeatState {
    int lastKeyCode = 0;
    DWORD lastKeyTime = 0;
    int repeatCount = 0;
};

extern RepeatState KeyRepeat;

// Updates the state for one ready read of code at time now (GetTickCount);
// true when the read is an auto-repeat of the previous one.
bool UpdateRepeatState(RepeatState& state, int code, DWORD now);

// True for the keys that act once per press: Power, Standby, Off and Vol-
// (the codes of the router's power actions). A repeat of these never acts.
bool IsOneShotKey(int code);

// The code to route: SuppressedKey for a repeat that is dropped. A repeat of
// a one-shot key is always dropped, and so is every repeat while the
// shutdown dialog is open (only a first press answers it); otherwise a
// repeat is dropped while a TV application is the target, except every
// tenth.
int SuppressRepeat(const RepeatState& state, bool repeat, int code);

using TickSource = DWORD(WINAPI*)();

// One tick of the poll, taking the time of a ready read from now.
void PollOnce(HWND window, TickSource now);

// The PollTimer's timer procedure.
void CALLBACK PollRemote(HWND window, UINT message, UINT_PTR timerId, DWORD time);
