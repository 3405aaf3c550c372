// The desktop of the decisions, every port of it, performed with Win32 for
// one program: it is given the program's owners that its effects reach (the
// main window, the system's seam, the profile store, the key display, the
// receiver, the tray icon and the timers).
#pragma once
#include <windows.h>

#include "apps/ProfileStore.h"
#include "card/CaptureFilter.h"
#include "core/Feedback.h"
#include "core/Machine.h"
#include "core/ProfileSource.h"
#include "core/Windows.h"
#include "shell/KeyDisplay.h"
#include "shell/Tray.h"
#include "win32/Scoped.h"
#include "win32/SystemCalls.h"

constexpr UINT PollTimerId = 1;
constexpr UINT WatchTimerId = 2;
constexpr UINT LinkTimerId = 3;

// The program's timers on its main window. Killed in reverse order when they
// go: the link's timer, the watch, then the poll.
struct ProgramTimers {
    WindowTimer poll{PollTimerId};
    WindowTimer watch{WatchTimerId};
    WindowTimer link{LinkTimerId};
};

// The timers' procedures, which find the program through its window.
void CALLBACK PollTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK WatchTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK LinkTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

class Win32Desktop final : public core::Windows,
                           public core::Machine,
                           public core::Feedback,
                           public core::ProfileSource {
public:
    // window: the main window as it is now (null until it is made, and once
    // it has gone), which owns the timers and the shutdown dialog.
    Win32Desktop(HINSTANCE instance, const HWND& window, SystemCalls& system, ProfileStore& profiles,
                 KeyDisplay& keyDisplay, RemoteReceiver& receiver, TrayIcon& tray, ProgramTimers& timers)
        : instance_(instance), window_(window), system_(system), profiles_(profiles),
          keyDisplay_(keyDisplay), receiver_(receiver), tray_(tray), timers_(timers) {}

    // Windows.
    core::WindowRef Find(const core::WindowIdentity& identity) override;
    bool Exists(core::WindowRef window) override;
    core::Foreground ForegroundWindow() override;
    void Post(core::WindowRef window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void Send(core::WindowRef window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void Raise(core::WindowRef window) override;
    void SendAppCommand(core::WindowRef window, unsigned command) override;
    bool Start(const char* commandLine) override;
    void TypeChord(const uint8_t* keys, size_t count) override;
    void TypeToForeground(const uint8_t* keys, size_t count) override;
    core::Point Cursor() override;
    bool ButtonsSwapped() override;
    void MoveBy(int dx, int dy) override;
    void Button(unsigned event, core::Point at) override;
    void SetCursor(core::Point at) override;

    // Machine.
    uint32_t Now() override;
    bool OpenReceiver() override;
    void CloseReceiver() override;
    void SetPolling(bool running) override;
    void SetLinkTimer(uint32_t ms) override;
    void SetWatchTimer(bool running) override;
    bool Standby() override;

    // Feedback.
    void ShowKeyAction(const core::KeyDone& done) override;
    void ShowMessage(core::Notice notice, unsigned style) override;
    void RunShutdownDialog(core::ShutdownAnswer& answer) override;
    void ShowReceiverMissing(bool missing) override;
    void TraceFailure(const char* what, uint32_t code) override;

    // ProfileSource.
    core::List<core::Profile> Profiles() override;

private:
    HINSTANCE instance_;
    const HWND& window_;
    SystemCalls& system_;
    ProfileStore& profiles_;
    KeyDisplay& keyDisplay_;
    RemoteReceiver& receiver_;
    TrayIcon& tray_;
    ProgramTimers& timers_;
};
