// MinimalReader.exe: the least any program must do to read this card the way
// MarlowRemote.exe does, the limit the benchmarks hold the program to. It
// links the program's own card layer and does what reading needs, nothing
// more: COM on the main thread, the receiver opened (the same discovery, the
// same filter graph), a hidden window whose 65 ms timer sends the status
// request and, when a code waits, the transfer that reads it. No window
// search, no routing, no tray, no settings.
//
//   MinimalReader.exe [LOG]
//
// LOG (a Windows path) gets JSON lines stamped with the performance counter
// in microseconds, like the other bench logs:
//   {"ev":"start","t_us":N}          on entry to WinMain
//   {"ev":"open","t_us":N,"ok":B}    once the receiver is opened (or not)
//   {"ev":"tick","t_us":N}           at the first timer tick
//   {"ev":"exit","t_us":N,"ticks":T} when its window is destroyed, after T
//                                    ticks (each one a status request)
// It ends when its window (class and title "Marlow Minimal Reader") is
// closed.
#include "Yardstick.h"
#include "card/CaptureFilter.h"
#include "card/RegisterProtocol.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr char kWindowClass[] = "Marlow Minimal Reader";

HANDLE g_log = INVALID_HANDLE_VALUE;
IKsControl* g_control = nullptr;
unsigned long g_ticks = 0;

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    if (IsKeyReady(g_control)) ReadKeyCode(g_control);
    if (g_ticks++ == 0) yardstick::LogEvent(g_log, "tick");
}

LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        char ticks[32];
        std::snprintf(ticks, sizeof ticks, ",\"ticks\":%lu", g_ticks);
        yardstick::LogEvent(g_log, "exit", ticks);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_log = yardstick::OpenLog(__argc, __argv);
    yardstick::LogEvent(g_log, "start");
    ScopedComInit com;
    RemoteReceiver receiver;
    const bool opened = receiver.Open();
    g_control = receiver.Control();
    yardstick::LogEvent(g_log, "open", opened ? ",\"ok\":true" : ",\"ok\":false");
    return yardstick::RunTimerWindow(instance, kWindowClass, windowProc, onTick, g_log);
}
