// TimerBaseline.exe: the least a program that polls every 65 ms costs under
// Wine. A hidden window whose 65 ms timer calls an empty procedure, nothing
// else. The benchmarks run it beside MarlowRemote.exe to compare idle CPU
// time, memory and the time from process start to the first tick.
//
//   TimerBaseline.exe [LOG [CLASS COUNT]]
//
// LOG (a Windows path) gets JSON lines stamped with the performance counter
// in microseconds, like the other bench logs:
//   {"ev":"start","t_us":N}         on entry to WinMain
//   {"ev":"tick","t_us":N}          at the first timer tick
// With CLASS and COUNT, the first COUNT ticks each post a WM_KEYDOWN to the
// top-level window of class CLASS (VK_NUMPAD1 to VK_NUMPAD9 in turn) and log
//   {"ev":"post","t_us":N,"vk":V}   t_us read just before PostMessageA
// and then the program ends: the cost of delivering a posted key to another
// process, without anything else, on the same machine at the same time.
// Otherwise it ends when its window (class and title "Marlow Timer
// Baseline") is closed.
#include "Yardstick.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kWindowClass[] = "Marlow Timer Baseline";
constexpr unsigned kFirstKey = VK_NUMPAD1;
constexpr unsigned kKeyCount = 9;

HANDLE g_log = INVALID_HANDLE_VALUE;
const char* g_postClass = nullptr;
unsigned long g_postsLeft = 0;
unsigned long g_posts = 0;
bool g_ticked = false;

void postKey(HWND self) {
    const unsigned vk = kFirstKey + g_posts++ % kKeyCount;
    HWND target = FindWindowA(g_postClass, nullptr);
    const unsigned long long before = bench::nowMicros();
    if (target) {
        PostMessageA(target, WM_KEYDOWN, vk, 0);
        char extra[24];
        std::snprintf(extra, sizeof extra, ",\"vk\":%u", vk);
        yardstick::LogEvent(g_log, "post", extra, before);
    }
    if (--g_postsLeft == 0) DestroyWindow(self);
}

void CALLBACK onTick(HWND self, UINT, UINT_PTR, DWORD) {
    if (!g_ticked) {
        g_ticked = true;
        yardstick::LogEvent(g_log, "tick");
    }
    if (g_postsLeft > 0) postKey(self);
}

LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

void readArguments() {
    g_log = yardstick::OpenLog(__argc, __argv);
    if (__argc > 3) {
        g_postClass = __argv[2];
        g_postsLeft = std::strtoul(__argv[3], nullptr, 10);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    readArguments();
    yardstick::LogEvent(g_log, "start");
    return yardstick::RunTimerWindow(instance, kWindowClass, windowProc, onTick, g_log);
}
