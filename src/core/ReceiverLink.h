// The program's link to the card's remote receiver, kept alive through what
// happens to a PC in a home: a capture driver that is not ready at logon, a
// card whose requests stop being answered, a standby after which the driver
// has reset the device. The decisions are here; the desktop opens and closes
// the receiver, starts and stops the poll and sets the link's timer.
#pragma once
#include <cstdint>

#include "core/Desktop.h"
#include "core/State.h"

namespace core {

// Every request failing this long: the card has gone.
constexpr uint32_t FailingForMs = 2000;
// A card that has gone is looked for again after 1, 2, 4 ... s, at most 30 s.
constexpr uint32_t FirstRetryMs = 1000;
constexpr uint32_t LongestRetryMs = 30000;
// A card missing at start is looked for every 5 s for two minutes, then
// every 30 s, and at once when the system reports a new device.
constexpr uint32_t LateCardRetryMs = 5000;
constexpr uint32_t LateCardQuickForMs = 120000;
constexpr uint32_t LateCardSlowRetryMs = 30000;
// After a resume the driver gets this long before the receiver is opened again.
constexpr uint32_t ResumeSettleMs = 1000;
// Standby and Off do nothing this long after a resume: a key from before the
// sleep, or one pressed while the PC woke, must not send it back to sleep.
constexpr uint32_t ResumeQuietMs = 5000;

class ReceiverLink {
public:
    ReceiverLink(State& state, Desktop& desktop) : state_(state), desktop_(desktop) {}

    // Start-up, after the first look for the card: the poll starts, or the
    // card is looked for again later.
    void Started(bool found);
    // The result of a tick's status request. A failure is a request that did
    // not return S_OK; error is its code.
    void Answered(bool keyReady);
    void Failed(uint32_t error);
    // True when a key read now is left alone: after the receiver was opened
    // again, what the first reads return was sent before (or while) it was away.
    bool DropsKey();
    // The link's timer has fired.
    void TimerFired();
    // The system reports a device that arrived, or a change of its devices.
    void DevicesChanged();
    // The system suspends; it has resumed. A resume counts once, however many
    // broadcasts say so.
    void Suspending();
    void Resumed();
    // True while a resume is too recent for Standby and Off to act.
    bool QuietAfterResume();

private:
    void Missing(LinkPhase phase);
    void LookAgain();
    void LookAgainLater();
    void Found();

    State& state_;
    Desktop& desktop_;
};

}  // namespace core
