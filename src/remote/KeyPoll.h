// The key poll: one tick every 65 ms reads the receiver and hands a ready key
// to the remote's decisions.
#pragma once
#include "card/RegisterProtocol.h"
#include "core/Remote.h"

// One tick of the poll at the tick's time (the timer procedure's). An idle
// tick makes the status request and nothing else.
void PollOnce(IKsControl* receiver, core::Remote& remote, DWORD tickTime);
