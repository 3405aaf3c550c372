// The calls whose effect outlives a test: a modal message box, starting a
// program, standby and shutdown. The program makes every such call through
// one of these; a test puts stand-ins here.
#pragma once
#include <windows.h>

struct SystemCalls {
    int(WINAPI* messageBox)(HWND, LPCSTR, LPCSTR, UINT) = MessageBoxA;
    UINT(WINAPI* winExec)(LPCSTR, UINT) = WinExec;
    BOOL(WINAPI* setSystemPowerState)(BOOL, BOOL) = SetSystemPowerState;
    BOOL(WINAPI* exitWindowsEx)(UINT, DWORD) = ExitWindowsEx;
};
