// The key poll: one tick every 65 ms reads the receiver and hands a ready key
// with its time to the remote's decisions.
#pragma once
#include "card/RegisterProtocol.h"
#include "core/Remote.h"

constexpr UINT PollIntervalMs = 65;

using TickSource = DWORD(WINAPI*)();

// One tick of the poll, taking the time of a ready read from now. An idle
// tick makes the status request and nothing else.
void PollOnce(IKsControl* receiver, core::Remote& remote, TickSource now);
