#include "shell/RemoteTimer.h"

#include "shell/Program.h"

RemoteTimer::RemoteTimer(UINT id, TIMERPROC proc)
    : running(false), timerId(id), ownerWindow(nullptr), intervalMs(0), callback(proc) {}

RemoteTimer::~RemoteTimer() { Stop(); }

void RemoteTimer::Bind(HWND owner, UINT interval) {
    ownerWindow = owner;
    intervalMs = interval;
}

void RemoteTimer::Start() {
    if (running) return;
    SetTimer(ownerWindow, timerId, intervalMs, callback);
    running = true;
}

void RemoteTimer::Stop() {
    if (!running) return;
    KillTimer(ownerWindow, timerId);
    running = false;
}

void StartPolling() {
    PollTimer.Bind(MainWindow, PollIntervalMs);
    PollTimer.Start();
}

void PrepareWatchTimer() {
    WatchTimer.Bind(MainWindow, WatchIntervalMs);
    WatchTimer.Stop();
}

void StartWatchTimer() { WatchTimer.Start(); }

void StopWatchTimer() { WatchTimer.Stop(); }
