// The machine around the decisions: its clock, the card's receiver, the
// poll's, the link's and the exit watch's timers, and standby.
#pragma once
#include <cstdint>

namespace core {

class Machine {
public:
    // Milliseconds of the system's tick counter, which wraps.
    virtual uint32_t Now() = 0;
    // Looks for the card and opens its receiver; true when it was found.
    virtual bool OpenReceiver() = 0;
    // Lets go of the receiver (its control, its filter and its graph).
    virtual void CloseReceiver() = 0;
    virtual void SetPolling(bool running) = 0;
    // The link's one-shot timer; 0 stops it.
    virtual void SetLinkTimer(uint32_t ms) = 0;
    virtual void SetWatchTimer(bool running) = 0;
    // Puts the machine into standby; true when it went (it has woken again).
    virtual bool Standby() = 0;

protected:
    ~Machine() = default;
};

}  // namespace core
