// The running program: one object, made by RunProgram once it knows it is the
// only copy, that holds every owner of the run (the decisions, the desktop
// that performs their effects, the receiver, the tray icon, the timers) and is
// reached from the main window's procedure and the timer procedures through
// the window. All of it is in Program.cpp.
#pragma once
#include <windows.h>

#include "apps/ProfileStore.h"
#include "card/CaptureFilter.h"
#include "core/Remote.h"
#include "core/State.h"
#include "shell/KeyDisplay.h"
#include "shell/KeyServer.h"
#include "shell/Tray.h"
#include "shell/Win32Desktop.h"
#include "win32/Scoped.h"
#include "win32/SystemCalls.h"
#include "win32/SystemNotifications.h"

constexpr int TitleBufferSize = 100;

class Program {
public:
    explicit Program(HINSTANCE instance);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The program of the main window (or of a timer procedure's window).
    static Program* Of(HWND window);

    // Start-up, in order: where the applications are
    // installed, the main window's class (under the class name given, or the
    // program's own), then the hidden main window, the settings and the
    // poll: false when the program must end (no window, or AlwaysRemoteOff
    // set). Then the message loop with the program's accelerators, which
    // returns the exit code.
    void ReadInstallLocations();
    void RegisterMainWindowClass(const char* className = nullptr);
    bool CreateMainWindow();
    // The settings from the registry, told to the decisions; false when
    // AlwaysRemoteOff keeps the program from running.
    bool ReadSettings();
    int RunMessageLoop() const;

    // The main window's messages, and the timers' ticks.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPollTick(DWORD tickTime);
    void OnWatchTick();
    void OnLinkTimer();

    // What the tests reach: the system's seam, the desktop, the decisions.
    SystemCalls& system() { return system_; }
    Win32Desktop& desktop() { return desktop_; }
    core::Router& router() { return remote_.router; }
    core::PowerSwitch& power() { return remote_.power; }
    core::ShutdownAnswer& shutdown() { return remote_.shutdown; }
    core::ReceiverLink& link() { return remote_.link; }
    const core::Pointer& pointer() const { return remote_.pointer; }
    const core::RepeatRule& repeat() const { return remote_.repeat; }
    const core::State& state() const { return state_; }
    ProfileStore& profiles() { return profiles_; }
    const KeyDisplay& keyDisplay() const { return keyDisplay_; }
    const KeyServer& keyServer() const { return keyServer_; }
    HINSTANCE instance() const { return instance_; }
    HWND window() const { return window_; }

private:
    void OnCreate(HWND window);
    void OnTrayMessage(LPARAM mouseMessage);
    bool OnCommand(WORD command);
    void OnPowerBroadcast(WPARAM event);
    void ReportMissingFilter();
    // The ways out: the menu's Exit, or any other (command 31 from outside,
    // WM_DESTROY, the missing-card report).
    enum class Ending { Exit, Other };
    void End(Ending ending);
    void ShowTrayMenu();

    HINSTANCE instance_;
    HWND window_ = nullptr;  // the hidden main window; null until created
    char windowTitle_[TitleBufferSize] = {};
    char windowClass_[TitleBufferSize] = {};
    // Killed after COM is uninitialised (after Exit), when the object goes: the link's
    // timer, the watch, then the poll.
    ProgramTimers timers_;
    ScopedComInit com_;
    RemoteReceiver receiver_;
    bool filterFound_ = true;  // cleared when the capture filter was not found at start
    core::State state_;
    SystemCalls system_;
    ProfileStore profiles_;
    KeyDisplay keyDisplay_{instance_};
    // Given the owners its effects reach; the tray icon is made further on.
    Win32Desktop desktop_{instance_,   window_,   system_, profiles_,
                          keyDisplay_, receiver_, tray_,   timers_};
    core::Remote remote_{state_, desktop_, desktop_, desktop_, desktop_};
    // Told of every read before the router routes it, with "Server" on.
    KeyServer keyServer_;
    // The system's reports of new capture devices, and of suspend and resume.
    DeviceNotification deviceNotification_;
    PowerNotification powerNotification_;
    TrayIcon tray_;
    UINT taskbarCreatedMessage_ = 0;  // sent by the shell when the taskbar is re-created
    bool quitRequested_ = false;
    bool missingFilterReported_ = false;
};

// The whole life of the program, called by WinMain; returns the exit code.
int RunProgram(HINSTANCE instance);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
