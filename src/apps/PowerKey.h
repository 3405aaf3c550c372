// The Power key: starting and stopping TV applications, switching from the
// tray menu, and the watch that notices a started application's exit.
#pragma once
#include <windows.h>

class TvApplication;

extern bool WatchWinDVR;
extern bool WatchQuillmarsh;
extern bool WatchBeyondTV;

// Closes the application when its window exists, else raises or starts it
// and watches it.
void PowerToggle(TvApplication& application);
void DefaultPowerAction(int selector);
void SwitchToApplication(int selector);
void CALLBACK ExitWatch(HWND window, UINT message, UINT_PTR timerId, DWORD time);
bool NoTvWindowExists();
