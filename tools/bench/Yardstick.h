// What the bench's two yardsticks share: a JSON-lines log stamped with the
// performance counter, and a hidden window whose 65 ms timer runs their tick
// until the window is destroyed.
#pragma once
#include <windows.h>

#include <cstdio>

#include "BenchJson.h"

namespace yardstick {

constexpr UINT_PTR TimerId = 1;
constexpr UINT IntervalMs = 65;  // the program's poll period
constexpr int LineSize = 80;

// The log named on the command line (a Windows path), appended to; none
// without one.
inline HANDLE OpenLog(int argc, char** argv) {
    if (argc < 2) return INVALID_HANDLE_VALUE;
    return CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// {"ev":EV,"t_us":NOW EXTRA} where EXTRA is further ,"key":value pairs.
inline void LogEvent(HANDLE log, const char* ev, const char* extra = "",
                     unsigned long long t_us = bench::nowMicros()) {
    if (log == INVALID_HANDLE_VALUE) return;
    char line[LineSize];
    const int length = std::snprintf(line, sizeof line, "{\"ev\":\"%s\",\"t_us\":%llu%s}\n", ev,
                                     t_us, extra);
    DWORD written = 0;
    if (length > 0) WriteFile(log, line, static_cast<DWORD>(length), &written, nullptr);
}

// Runs the hidden window of the class (also its title) with the timer
// calling onTick, until the window is destroyed; closes the log then.
inline int RunTimerWindow(HINSTANCE instance, const char* windowClass, WNDPROC windowProc,
                          TIMERPROC onTick, HANDLE log) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = windowClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowA(windowClass, windowClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
    if (!window) return 1;
    SetTimer(window, TimerId, IntervalMs, onTick);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
    return 0;
}

}  // namespace yardstick
