// The router: every read goes to exactly one destination, the shutdown
// dialog, the target's key map, an application that the key adopts, the
// machine's own keys, a player's profile, the media keys or the pointer. It
// keeps nothing of its own: the repeat rule, the Power switch, the shutdown
// dialog's answer, the receiver link and the pointer each own their state.
#pragma once
#include <cstdint>

#include "core/Applications.h"
#include "core/KeyActions.h"
#include "core/KeyListeners.h"
#include "core/LongPress.h"
#include "core/Machine.h"
#include "core/Pointer.h"
#include "core/PowerSwitch.h"
#include "core/ProfileSource.h"
#include "core/ReceiverLink.h"
#include "core/RepeatRule.h"
#include "core/ShutdownAnswer.h"
#include "core/State.h"
#include "core/Windows.h"

namespace core {

// Where a key may go.
struct Destinations {
    ShutdownAnswer& shutdown;
    PowerSwitch& power;
    KeyActions& keys;
    Pointer& pointer;
    // Standby and Off wait for the link's quiet after a resume; the program's
    // own standby is a resume.
    ReceiverLink& link;
    // A profile's key with a hold action waits there until it acts.
    LongPress& longPress;
};

class Router {
public:
    Router(const Settings& settings, RepeatRule& repeat, const Destinations& to, Windows& windows,
           Machine& machine, ProfileSource& profiles)
        : settings_(settings), repeat_(repeat), to_(to), windows_(windows), machine_(machine),
          profiles_(profiles) {}

    // The programs told of every read first; null for none.
    void TellFirst(KeyListeners* listeners) { listeners_ = listeners; }
    // A tick of the poll at time now, before the receiver is asked.
    void OnPoll(uint32_t now) { repeat_.Polled(now); }
    // The tick found no key to read: a long press that waits may act.
    void OnNoKey(uint32_t now) {
        if (to_.longPress.Takes()) to_.longPress.Look(now, repeat_.lastKeyTime(), false);
    }
    // One ready read of the card, now: the repeat rule, then the router.
    void OnRead(int code);
    // Routes one code (SuppressedKey for a dropped repeat); repeat: the read
    // is an auto-repeat of the one before.
    void Route(int code, bool repeat);
    // True when no key-target window of any application exists.
    bool NoTvWindowExists();
    // True when Vol- goes where the media keys and profiles go: one of them
    // is on, no TV application runs, and Vol- has no other action for the
    // default.
    bool VolumeDownIsMedia();

private:
    void RouteWithoutTarget(int code, bool repeat);
    // Off's, Vol-'s and Standby's action without a target.
    void ActWithoutTarget(WithoutTarget action, int code, bool repeat);
    void Standby();
    void AdoptOrPoint(int code, bool repeat);
    // The system's media key for the code, when the media keys are on.
    bool TypeMediaKey(int code);
    // The code's action in the profile of the window in front, when it has
    // one that does not leave it to the pointer.
    bool RouteToProfile(int code, bool repeat);

    const Settings& settings_;
    RepeatRule& repeat_;
    Destinations to_;
    Windows& windows_;
    Machine& machine_;
    ProfileSource& profiles_;
    KeyListeners* listeners_ = nullptr;
};

}  // namespace core
