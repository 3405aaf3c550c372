// The remote's decisions, wired as the program runs them: one object of each
// class, each given the ports and the other owners it needs. A key goes from
// the poll to the router (Router.h), which hands it to one destination.
#pragma once
#include "core/Feedback.h"
#include "core/KeyActions.h"
#include "core/LongPress.h"
#include "core/Machine.h"
#include "core/Pointer.h"
#include "core/PowerSwitch.h"
#include "core/ProfileSource.h"
#include "core/ReceiverLink.h"
#include "core/RepeatRule.h"
#include "core/Router.h"
#include "core/ShutdownAnswer.h"
#include "core/State.h"
#include "core/Windows.h"

namespace core {

struct Remote {
    Remote(State& state, Windows& windows, Machine& machine, Feedback& feedback, ProfileSource& profiles)
        : pointer(windows),
          link(machine, feedback, pointer),
          shutdown(windows, feedback),
          power(state, windows, machine, feedback),
          keys(power, windows, feedback, state.settings),
          longPress(windows, keys),
          repeat(state.settings),
          router(state.settings, repeat, {shutdown, power, keys, pointer, link, longPress}, windows,
                 machine, profiles) {}
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    Pointer pointer;
    ReceiverLink link;
    ShutdownAnswer shutdown;
    PowerSwitch power;
    KeyActions keys;
    LongPress longPress;
    RepeatRule repeat;
    Router router;
};

}  // namespace core
