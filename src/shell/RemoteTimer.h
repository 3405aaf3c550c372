// One window timer with a timer procedure, and the program's two timers.
#pragma once
#include <windows.h>

class RemoteTimer {
public:
    RemoteTimer(UINT timerId, TIMERPROC callback);
    ~RemoteTimer();
    RemoteTimer(const RemoteTimer&) = delete;
    RemoteTimer& operator=(const RemoteTimer&) = delete;

    // Stores owner and interval; a running timer keeps its old setting until
    // it is stopped and started again.
    void Bind(HWND owner, UINT intervalMs);
    void Start();  // idempotent
    void Stop();   // idempotent
    bool IsRunning() const { return running; }

private:
    bool running;
    UINT timerId;
    HWND ownerWindow;
    UINT intervalMs;
    TIMERPROC callback;
};

constexpr UINT PollTimerId = 1;
constexpr UINT WatchTimerId = 2;
constexpr UINT PollIntervalMs = 65;
constexpr UINT WatchIntervalMs = 1000;

extern RemoteTimer PollTimer;   // the key poll
extern RemoteTimer WatchTimer;  // the exit watch of started applications

void StartPolling();
void PrepareWatchTimer();
void StartWatchTimer();
void StopWatchTimer();
