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
#include "BenchJson.h"
#include "card/CaptureFilter.h"
#include "card/RegisterProtocol.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr char kWindowClass[] = "Marlow Minimal Reader";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kIntervalMs = 65;  // the program's poll period
constexpr int kLineSize = 80;

HANDLE g_log = INVALID_HANDLE_VALUE;
IKsControl* g_control = nullptr;
unsigned long g_ticks = 0;

void logEvent(const char* ev, const char* extra = "") {
    if (g_log == INVALID_HANDLE_VALUE) return;
    char line[kLineSize];
    const int length =
        std::snprintf(line, sizeof line, "{\"ev\":\"%s\",\"t_us\":%llu%s}\n", ev,
                      static_cast<unsigned long long>(bench::nowMicros()), extra);
    DWORD written = 0;
    if (length > 0) WriteFile(g_log, line, static_cast<DWORD>(length), &written, nullptr);
}

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    if (IsKeyReady(g_control)) ReadKeyCode(g_control);
    if (g_ticks++ == 0) logEvent("tick");
}

LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        char ticks[32];
        std::snprintf(ticks, sizeof ticks, ",\"ticks\":%lu", g_ticks);
        logEvent("exit", ticks);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc > 1)
        g_log = CreateFileA(__argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    logEvent("start");
    ScopedComInit com;
    RemoteReceiver receiver;
    const bool opened = receiver.Open();
    g_control = receiver.Control();
    logEvent("open", opened ? ",\"ok\":true" : ",\"ok\":false");

    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowA(kWindowClass, kWindowClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
    if (!window) return 1;
    SetTimer(window, kTimerId, kIntervalMs, onTick);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    if (g_log != INVALID_HANDLE_VALUE) CloseHandle(g_log);
    return 0;
}
