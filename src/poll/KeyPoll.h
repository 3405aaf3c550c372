// The key poll: one tick every 65 ms reads the receiver and hands a ready key
// to the router, and tells the link to the receiver how its
// requests fared.
#pragma once
#include "card/RegisterProtocol.h"
#include "core/ReceiverLink.h"
#include "core/Router.h"

// One tick of the poll at the tick's time (the timer procedure's). An idle
// tick makes the status request and nothing else.
void PollOnce(IKsControl* receiver, core::Router& router, core::ReceiverLink& link,
              DWORD tickTime);
