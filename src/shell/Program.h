// The running program: one object, made by RunProgram once it knows it is the
// only copy, that holds every state of the run (the decisions' state, the
// receiver link, the tray record, the timers) and is reached from the main
// window's procedure and the timer procedures through the window.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "card/CaptureFilter.h"
#include "core/ReceiverLink.h"
#include "core/Remote.h"
#include "core/State.h"
#include "win32/SystemNotifications.h"
#include "win32/Win32.h"

constexpr int TitleBufferSize = 100;
constexpr UINT PollTimerId = 1;
constexpr UINT WatchTimerId = 2;
constexpr UINT LinkTimerId = 3;

class Program;

// The desktop of the decisions, performed with Win32 for one program.
class Win32Desktop final : public core::Desktop {
public:
    explicit Win32Desktop(Program& program) : program_(program) {}

    core::WindowRef Find(const core::WindowIdentity& identity) override;
    bool Exists(core::WindowRef window) override;
    core::Point Cursor() override;
    bool ButtonsSwapped() override;
    uint32_t Now() override;
    void Post(core::WindowRef window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void Send(core::WindowRef window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void Raise(core::WindowRef window) override;
    void TypeChord(const uint8_t* keys, size_t count) override;
    void MoveBy(int dx, int dy) override;
    void Button(unsigned event, core::Point at) override;
    void SetCursor(core::Point at) override;
    bool Start(const char* commandLine) override;
    void ShowMessage(const char* text, unsigned style) override;
    bool Standby() override;
    void RunShutdownDialog() override;
    void SetWatchTimer(bool running) override;
    bool OpenReceiver() override;
    void CloseReceiver() override;
    void SetPolling(bool running) override;
    void SetLinkTimer(uint32_t ms) override;
    void ShowReceiverMissing(bool missing) override;
    void TraceFailure(const char* what, uint32_t code) override;

private:
    Program& program_;
};

class Program {
public:
    explicit Program(HINSTANCE instance);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The program of the main window (or of a timer procedure's window).
    static Program* Of(HWND window);

    HINSTANCE instance;
    HWND window = nullptr;  // the hidden main window; null until created
    char windowTitle[TitleBufferSize] = {};
    char windowClass[TitleBufferSize] = {};
    // Killed after COM is uninitialised, when the object goes: the watch, then the poll.
    WindowTimer pollTimer{PollTimerId};
    WindowTimer watchTimer{WatchTimerId};
    WindowTimer linkTimer{LinkTimerId};
    ScopedComInit com;
    RemoteReceiver receiver;
    bool filterFound = true;  // cleared when the capture filter was not found at start
    core::State state;
    SystemCalls system;
    Win32Desktop desktop{*this};
    core::Remote remote{state, desktop};
    core::ReceiverLink link{state, desktop};
    // The system's reports of new capture devices, and of suspend and resume.
    DeviceNotification deviceNotification;
    PowerNotification powerNotification;
    NOTIFYICONDATAA trayIcon = {};  // the record submitted to the shell; hWnd null once removed
    HMENU trayMenu = nullptr;
    UINT taskbarCreatedMessage = 0;  // sent by the shell when the taskbar is re-created
    bool quitRequested = false;
    bool missingFilterReported = false;
};

// The whole life of the program, called by WinMain; returns the exit code.
int RunProgram(HINSTANCE instance);

// Registers the main window class under the program's class name.
void RegisterMainWindowClass(Program& program);
// Creates the hidden main window, reads the settings and starts the poll.
// False when the program must end (no window, or AlwaysRemoteOff set).
bool CreateMainWindow(Program& program);
// The message loop with the program's accelerators; returns the exit code.
int RunMessageLoop(const Program& program);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK PollTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK WatchTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK LinkTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
