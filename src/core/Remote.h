// The remote's decisions on the TV applications and the machine, one class
// whose parts live in files named after them: the router that hands each key
// to exactly one destination (Router.cpp), the key maps' actions
// (KeyActions.cpp), Power and switching (PowerKey.cpp), the exit watch of
// started applications (ExitWatch.cpp) and the shutdown dialog that the
// remote answers (ShutdownDialog.cpp). Each call asks the desktop what it
// needs and hands it the effects in order. The repeat rule is RepeatRule.h.
#pragma once
#include <cstdint>

#include "core/Applications.h"
#include "core/Desktop.h"
#include "core/RepeatRule.h"
#include "core/State.h"

namespace core {

// The exit watch's timer.
constexpr unsigned WatchIntervalMs = 1000;
// A watch tick that finds nothing watched stops the timer this long afterwards,
// counted in the timer's own ticks so that keys are polled meanwhile.
constexpr unsigned IdleWatchWaitMs = 2000;

// What the shutdown dialog does with a key it receives.
enum class DialogAnswer { None, Confirm, Cancel };
DialogAnswer AnswerForKey(unsigned virtualKey);

class Remote {
public:
    Remote(State& state, Desktop& desktop) : state_(state), desktop_(desktop) {}

    const State& state() const { return state_; }

    // Router.cpp
    // A tick of the poll at time now, before the receiver is asked.
    void OnPoll(uint32_t now) { Polled(state_, now); }
    // One ready read of the card, now: the repeat rule, then the router.
    void OnRead(int code);
    // Routes one code (SuppressedKey for a dropped repeat).
    void Route(int code);
    // True when no key-target window of any application exists.
    bool NoTvWindowExists();
    // True when Vol- goes where the media keys and profiles go: one of them
    // is on, no TV application runs, and Vol- has no other action for the
    // default.
    bool VolumeDownIsMedia();

    // KeyActions.cpp
    // The code's action on the application; known is its key-target window
    // when this key has found it already (0: the action looks it up).
    void RunKeyMap(AppId id, int code, WindowRef known = 0);

    // PowerKey.cpp
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

    // ExitWatch.cpp
    // One tick of the exit watch's timer.
    void ExitWatchTick();
    // True while any window by which the application is known exists.
    bool HasWindow(AppId id);

    // ShutdownDialog.cpp
    // Runs the shutdown dialog that the remote answers.
    void ShowShutdownDialog();
    // The dialog's window has been made; the remote answers it from now.
    void ShutdownDialogMade(WindowRef dialog);
    // The dialog has ended (confirmed or cancelled): keys are routed again.
    void ShutdownDialogEnded();

private:
    // The application that is the remote's target, if any, and its
    // key-target window when that is known to exist (else 0).
    const Application* Target(WindowRef& known);
    bool StillRuns(AppId id, WindowRef& known);
    void RouteWithoutTarget(int code);
    // Off's, Vol-'s and Standby's action without a target.
    void ActWithoutTarget(WithoutTarget action, int code);
    void PowerWithoutTarget();
    void Standby();
    void AdoptOrPoint(int code);
    // The system's media key for the code, when the media keys are on.
    bool TypeMediaKey(int code);
    // The code's action in the profile of the window in front, when it has
    // one that does not leave it to the pointer (Profiles.cpp).
    bool RouteToProfile(int code);
    // The key display, when it is on: "who: what".
    void ShowKeyAction(const char* who, const char* what);
    void ShowKeyAction(const char* who, int code);
    void AnswerShutdownDialog(int code);
    void StartWatchTimer();
    void StopWatchTimer();

    State& state_;
    Desktop& desktop_;
    bool readIsRepeat_ = false;  // the read being routed is an auto-repeat
};

}  // namespace core
