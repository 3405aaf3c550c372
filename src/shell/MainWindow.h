// The hidden main window: tray icon, menu commands and display changes.
#pragma once
#include <windows.h>

extern bool FilterFound;  // cleared when the capture filter was not found

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
