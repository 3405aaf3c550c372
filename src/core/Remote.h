// The remote's decisions: the repeat rule, the router that hands each key to
// exactly one destination, the key maps, Power and switching, and the exit
// watch of started applications. Each call asks the desktop what it needs and
// hands it the effects in order.
#pragma once
#include <cstdint>

#include "core/Applications.h"
#include "core/Desktop.h"
#include "core/State.h"

namespace core {

// Marks an auto-repeat that is dropped; never reaches a destination.
constexpr int SuppressedKey = -1;
// Reads of the same code closer than this are auto-repeats.
constexpr uint32_t RepeatWindowMs = 250;
// The poll looks at the receiver this often.
constexpr uint32_t PollIntervalMs = 65;
// A tick that comes more than LateTickMs after the one before it was held up
// (the machine was busy): a key it reads may have been sent at any time
// since the tick before, and a held key was; the gap is counted as if it had
// been read one period after that tick. A tick later than UnseenAtMostMs
// comes after a sleep or a hang, after which nothing is known of the key: the
// whole time counts as a gap. A tick that finds no key shows that none was
// sent since the last read, however late it comes.
constexpr uint32_t LateTickMs = 2 * PollIntervalMs;
constexpr uint32_t UnseenAtMostMs = 2000;
// While a TV application is the target, a held key delivers its first read
// and then every tenth repeat.
constexpr int RepeatsPerDelivery = 10;
// The exit watch's timer.
constexpr unsigned WatchIntervalMs = 1000;
// A watch tick that finds nothing watched stops the timer this long afterwards,
// counted in the timer's own ticks so that keys are polled meanwhile.
constexpr unsigned IdleWatchWaitMs = 2000;

// True for the keys that act once per press: Power, Standby, Off and Vol-
// (the router's power actions). A repeat of these never acts.
bool IsOneShotKey(int code);

// The poll looks at the receiver at time now (milliseconds of a counter
// that wraps), with or without a key to read.
void Polled(State& state, uint32_t now);
// Updates the state for one ready read of code at time now; true when the
// read is an auto-repeat of the previous one: the same code, less than
// RepeatWindowMs after the previous read was acted on (see LateTickMs).
bool UpdateRepeatState(State& state, int code, uint32_t now);
// The read has been acted on at time now: the gap to the next read is
// counted from here. The time the program spent acting (a start that waits
// for the new application, a slow window, a busy machine) is no gap in a
// held key, which the remote went on sending meanwhile.
void ActedOnRead(State& state, uint32_t now);

// The code to route: SuppressedKey for a repeat that is dropped. A repeat of
// a one-shot key is always dropped, and so is every repeat while the
// shutdown dialog is open (only a first press answers it); otherwise a
// repeat is dropped while a TV application is the target, except every tenth.
// With the media keys on and no target, a media key acts once per press,
// except Vol+ and Vol-, which repeat while held (volumeDownIsMedia: Vol- is a
// media key now, not a one-shot key).
int SuppressRepeat(const State& state, bool repeat, int code, bool volumeDownIsMedia = false);

// What the shutdown dialog does with a key it receives.
enum class DialogAnswer { None, Confirm, Cancel };
DialogAnswer AnswerForKey(unsigned virtualKey);

class Remote {
public:
    Remote(State& state, Desktop& desktop) : state_(state), desktop_(desktop) {}

    // A tick of the poll at time now, before the receiver is asked.
    void OnPoll(uint32_t now) { Polled(state_, now); }
    // One ready read of the card, now: the repeat rule, then the router.
    void OnRead(int code);
    // Routes one code (SuppressedKey for a dropped repeat).
    void Route(int code);

    // Closes the application when its key-target window exists, else raises
    // or starts it and watches it.
    void PowerToggle(AppId id);
    // The others closed in the Power order, then the toggle.
    void DefaultPowerAction(int selector);
    // A switch from the tray menu: the others closed in the switch order, the
    // application raised or started, and made the default.
    void SwitchFromMenu(int selector);
    // One tick of the exit watch's timer.
    void ExitWatchTick();
    // True when no key-target window of any application exists.
    bool NoTvWindowExists();
    // The tray menu's check mark.
    bool IsRunning(AppId id);
    // True while any window by which the application is known exists.
    bool HasWindow(AppId id);
    // Its window raised, or the application started; 0 when neither.
    WindowRef ShowOrLaunch(AppId id);
    // Started unless its main window exists; its main window, or 0.
    WindowRef Launch(AppId id);
    // The code's action on the application; known is its key-target window
    // when this key has found it already (0: the action looks it up).
    void RunKeyMap(AppId id, int code, WindowRef known = 0);
    void Close(AppId id);
    // Runs the shutdown dialog that the remote answers.
    void ShowShutdownDialog();
    // True when Vol- types the system's volume-down key: the media keys are
    // on, no TV application runs, and Vol- has no other action for the default.
    bool VolumeDownIsMedia();

private:
    // The application that is the remote's target, if any, and its
    // key-target window when that is known to exist (else 0).
    const Application* Target(WindowRef& known);
    bool StillRuns(AppId id, WindowRef& known);
    void RouteWithoutTarget(int code);
    void PowerWithoutTarget();
    void Standby();
    void AdoptOrPoint(int code);
    // The system's media key for the code, when the media keys are on.
    bool TypeMediaKey(int code);
    void AnswerShutdownDialog(int code);
    void StartWatchTimer();
    void StopWatchTimer();

    State& state_;
    Desktop& desktop_;
};

}  // namespace core
