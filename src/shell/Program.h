// Process-wide state of the program and the start-up sequence.
#pragma once
#include <windows.h>

#include "win32/Win32.h"

constexpr int TitleBufferSize = 100;

extern HINSTANCE ProgramInstance;   // stored when the main window is created
extern HWND MainWindow;             // NULL until created, or when creation failed
extern char WindowTitle[TitleBufferSize];
extern char WindowClassName[TitleBufferSize];

// The whole life of the program, called by WinMain; returns the exit code.
int RunProgram(HINSTANCE instance);

// Creates the hidden main window, reads the settings and starts the poll.
// False when the program must end (no window, or AlwaysRemoteOff set).
bool CreateMainWindow(HINSTANCE instance);

// The message loop with the program's accelerators; returns the exit code.
int RunMessageLoop();

// Registers the main window class under WindowClassName.
void RegisterMainWindowClass(HINSTANCE instance);
