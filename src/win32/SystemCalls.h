// The calls whose effect outlives a test: a modal message box, starting a
// program, opening a file in the program the user opens it with, standby and
// shutdown. The program makes every such call through
// one of these; a test puts stand-ins here.
#pragma once
#include <windows.h>
#include <shellapi.h>

struct SystemCalls {
    int(WINAPI* messageBox)(HWND, LPCSTR, LPCSTR, UINT) = MessageBoxA;
    UINT(WINAPI* winExec)(LPCSTR, UINT) = WinExec;
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) = ShellExecuteW;
    BOOL(WINAPI* setSystemPowerState)(BOOL, BOOL) = SetSystemPowerState;
    BOOL(WINAPI* exitWindowsEx)(UINT, DWORD) = ExitWindowsEx;
};
