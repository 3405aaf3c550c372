#include "core/ReceiverLink.h"

namespace core {

namespace {

bool LookedFor(LinkPhase phase) { return phase == LinkPhase::LateAtStart || phase == LinkPhase::Gone; }

}  // namespace

void ReceiverLink::Started(bool found) {
    if (found) {
        Found();
        return;
    }
    link_.missingSince = machine_.Now();
    Missing(LinkPhase::LateAtStart);
}

void ReceiverLink::Answered(bool keyReady) {
    LinkState& link = link_;
    link.failing = false;
    if (!keyReady) link.draining = false;
}

void ReceiverLink::Failed(uint32_t error) {
    LinkState& link = link_;
    if (link.phase != LinkPhase::Polling) return;
    const uint32_t now = machine_.Now();
    if (!link.failing) {
        link.failing = true;
        link.failingSince = now;
        return;
    }
    if (now - link.failingSince < FailingForMs) return;
    feedback_.TraceFailure("every request to the remote receiver for 2 s", error);
    machine_.SetPolling(false);
    machine_.CloseReceiver();
    link.nextWaitMs = FirstRetryMs;
    Missing(LinkPhase::Gone);
}

bool ReceiverLink::DropsKey() { return link_.draining; }

void ReceiverLink::TimerFired() {
    LinkState& link = link_;
    if (link.phase == LinkPhase::Waking) {
        machine_.CloseReceiver();
        if (machine_.OpenReceiver()) {
            Found();
        } else {
            link.nextWaitMs = FirstRetryMs;
            Missing(link.everFound ? LinkPhase::Gone : LinkPhase::LateAtStart);
        }
    } else if (LookedFor(link.phase)) {
        LookAgain();
    } else {
        machine_.SetLinkTimer(0);
    }
}

void ReceiverLink::DevicesChanged() {
    // A failed look here leaves the schedule as it was.
    if (LookedFor(link_.phase) && machine_.OpenReceiver()) Found();
}

void ReceiverLink::Suspending() {
    link_.phase = LinkPhase::Asleep;
    machine_.SetPolling(false);
    machine_.SetLinkTimer(0);
    pointer_.ReleaseHeldButton();
}

void ReceiverLink::Resumed() {
    LinkState& link = link_;
    const uint32_t now = machine_.Now();
    // The broadcasts of one resume come close together; a new sleep comes
    // after a suspend.
    if (link.phase != LinkPhase::Asleep && link.resumed && now - link.resumedAt < ResumeQuietMs)
        return;
    link.resumed = true;
    link.resumedAt = now;
    link.phase = LinkPhase::Waking;
    machine_.SetPolling(false);
    machine_.SetLinkTimer(ResumeSettleMs);
}

bool ReceiverLink::QuietAfterResume() {
    const LinkState& link = link_;
    return link.resumed && machine_.Now() - link.resumedAt < ResumeQuietMs;
}

void ReceiverLink::Missing(LinkPhase phase) {
    LinkState& link = link_;
    link.phase = phase;
    link.failing = false;
    feedback_.ShowReceiverMissing(true);
    LookAgainLater();
}

void ReceiverLink::LookAgain() {
    if (machine_.OpenReceiver()) Found();
    else LookAgainLater();
}

void ReceiverLink::LookAgainLater() {
    LinkState& link = link_;
    if (link.phase == LinkPhase::Gone) {
        machine_.SetLinkTimer(link.nextWaitMs);
        link.nextWaitMs = link.nextWaitMs < LongestRetryMs / 2 ? link.nextWaitMs * 2 : LongestRetryMs;
    } else {
        machine_.SetLinkTimer(machine_.Now() - link.missingSince < LateCardQuickForMs
                                  ? LateCardRetryMs
                                  : LateCardSlowRetryMs);
    }
}

void ReceiverLink::Found() {
    LinkState& link = link_;
    // Opened again: what the receiver holds was sent before, or while, it was away.
    link.draining = link.everFound;
    link.everFound = true;
    link.failing = false;
    const bool wasMissing = LookedFor(link.phase);
    link.phase = LinkPhase::Polling;
    machine_.SetLinkTimer(0);
    if (wasMissing) feedback_.ShowReceiverMissing(false);
    machine_.SetPolling(true);
}

}  // namespace core
