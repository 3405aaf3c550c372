// The program's link to the card's remote receiver, kept alive through what
// happens to a PC in a home: a capture driver that is not ready at logon, a
// card whose requests stop being answered, a standby after which the driver
// has reset the device. The decisions are here; the desktop opens and closes
// the receiver, starts and stops the poll and sets the link's timer.
#pragma once
#include <cstdint>

#include "core/Feedback.h"
#include "core/Machine.h"
#include "core/Pointer.h"

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

// Where the link to the card's remote receiver stands.
enum class LinkPhase : uint8_t {
    Polling,      // open, and polled every tick
    Asleep,       // the system suspends: no poll
    Waking,       // resumed: opened afresh once the driver has settled
    LateAtStart,  // not found at start: looked for on a slow schedule
    Gone,         // found, then every request failed: looked for with a growing wait
};

class ReceiverLink {
public:
    // The pointer's held button is let go when the system suspends.
    ReceiverLink(Machine& machine, Feedback& feedback, Pointer& pointer)
        : machine_(machine), feedback_(feedback), pointer_(pointer) {}

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
    // True once the card has been found in this run.
    bool EverFound() const { return link_.everFound; }

private:
    void Missing(LinkPhase phase);
    void LookAgain();
    void LookAgainLater();
    void Found();

    struct LinkState {
        LinkPhase phase = LinkPhase::Polling;
        bool everFound = false;      // the card has been found in this run
        bool failing = false;        // every status request has failed since failingSince
        uint32_t failingSince = 0;
        uint32_t missingSince = 0;   // when the card was first found missing at start
        uint32_t nextWaitMs = 0;     // the next wait while it is gone
        bool draining = false;       // reads are dropped until a status says no key waits
        bool resumed = false;        // a resume has happened, at resumedAt
        uint32_t resumedAt = 0;
    };

    Machine& machine_;
    Feedback& feedback_;
    Pointer& pointer_;
    LinkState link_;
};

}  // namespace core
