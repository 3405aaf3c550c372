// The Power key and the tray menu's switches: starting, raising and closing
// the TV applications, the exit watch of the ones started, and each
// application's run-time state (whether it is the remote's target, its
// windows as last found, whether it is watched).
#pragma once
#include "core/Applications.h"
#include "core/Feedback.h"
#include "core/Machine.h"
#include "core/State.h"
#include "core/Windows.h"

namespace core {

// The exit watch's timer.
constexpr unsigned WatchIntervalMs = 1000;
// A watch tick that finds nothing watched stops the timer this long afterwards,
// counted in the timer's own ticks so that keys are polled meanwhile.
constexpr unsigned IdleWatchWaitMs = 2000;

// One application while the program runs.
struct ApplicationRun {
    bool active = false;   // the remote's target: started by Power, or adopted by a key
    bool watched = false;  // the exit watch looks for its end
    bool fastStep = false;
    WindowRef targetWindow = 0;  // its key-target window, found by the last key
    WindowRef seenWindow = 0;    // found when adopted or raised
};

class PowerSwitch {
public:
    // The settings' default is read, and changed by a menu switch; the
    // install locations are told to it and kept there.
    PowerSwitch(State& state, Windows& windows, Machine& machine, Feedback& feedback)
        : state_(state), windows_(windows), machine_(machine), feedback_(feedback) {}

    // The application's install directory was read (it is installed there), or
    // was not found or could not be used (it is not installed).
    void InstallLocationFound(AppId id, const char* path);
    void InstallLocationMissing(AppId id);

    ApplicationRun& Of(AppId id) { return applications_[static_cast<size_t>(id)]; }
    const ApplicationRun& Of(AppId id) const { return applications_[static_cast<size_t>(id)]; }
    // True while some application is the remote's target.
    bool AnyActive() const;
    // The application that is the remote's target, if any, and its
    // key-target window when that is known to exist (else 0).
    const Application* Target(WindowRef& known);

    // Power without a target: the default application's Power action.
    void PowerWithoutTarget();
    // Closes the application when its key-target window exists, else raises
    // or starts it and watches it.
    void PowerToggle(AppId id);
    // The others closed in the Power order, then the toggle.
    void DefaultPowerAction(int selector);
    // A switch from the tray menu: the others closed in the switch order, the
    // application raised or started, and made the default.
    void SwitchFromMenu(int selector);
    // The tray menu's check mark.
    bool IsRunning(AppId id);
    // Its window raised, or the application started; 0 when neither.
    WindowRef ShowOrLaunch(AppId id);
    // Started unless its main window exists; its main window, or 0.
    WindowRef Launch(AppId id);
    void Close(AppId id);

    // One tick of the exit watch's timer.
    void ExitWatchTick();
    // True while any window by which the application is known exists.
    bool HasWindow(AppId id);
    void StartWatchTimer();

private:
    bool StillRuns(AppId id, WindowRef& known);
    void StopWatchTimer();

    State& state_;
    Windows& windows_;
    Machine& machine_;
    Feedback& feedback_;
    ApplicationRun applications_[ApplicationCount];
    bool watchTimerRunning_ = false;
    // Ticks since the first one that found nothing watched; -1 while
    // something is watched.
    int idleWatchTicks_ = -1;
};

}  // namespace core
