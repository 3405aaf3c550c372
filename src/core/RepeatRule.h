// The repeat rule: tells a first press from the remote's auto-repeats of a
// held key, and decides which repeats reach a destination.
#pragma once
#include <cstdint>

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

// True for the keys that act once per press (their rows' OneShot: Power,
// Standby, Off and Vol-). A repeat of these never acts.
bool IsOneShotKey(int code);

// Where the rest of the remote stands when a read is routed.
struct Situation {
    bool dialogOpen = false;    // the shutdown dialog is open
    bool targetActive = false;  // some TV application is the remote's target
    // Vol- is a media key now, not a one-shot key (Router::VolumeDownIsMedia).
    bool volumeDownIsMedia = false;
};

class RepeatRule {
public:
    explicit RepeatRule(const Settings& settings) : settings_(settings) {}

    // The poll looks at the receiver at time now (milliseconds of a counter
    // that wraps), with or without a key to read.
    void Polled(uint32_t now);
    // Updates the rule for one ready read of code at time now; true when the
    // read is an auto-repeat of the previous one: the same code, less than
    // RepeatWindowMs after the previous read was acted on (see LateTickMs).
    bool UpdateRepeatState(int code, uint32_t now);
    // The read has been acted on at time now: the gap to the next read is
    // counted from here. The time the program spent acting (a start that waits
    // for the new application, a slow window, a busy machine) is no gap in a
    // held key, which the remote went on sending meanwhile.
    void ActedOnRead(uint32_t now);

    // The code to route: SuppressedKey for a repeat that is dropped. A repeat of
    // a one-shot key is always dropped, and so is every repeat while the
    // shutdown dialog is open (only a first press answers it); otherwise a
    // repeat is dropped while a TV application is the target, except every tenth.
    // With the media keys on and no target, a media key acts once per press,
    // except those that repeat in players (Vol+ and Vol-, when Vol- is a media key).
    int SuppressRepeat(bool repeat, int code, const Situation& situation) const;

    uint32_t lastKeyTime() const { return lastKeyTime_; }

private:
    const Settings& settings_;
    int lastKeyCode_ = 0;
    uint32_t lastKeyTime_ = 0;
    int repeatCount_ = 0;
    int polls_ = 0;                  // ticks so far, up to 2
    uint32_t lastPollTime_ = 0;      // of the last tick, or of the end of the last read's action
    uint32_t previousPollTime_ = 0;  // of the tick before
};

}  // namespace core
