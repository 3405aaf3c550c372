#include "core/ReceiverLink.h"

#include "core/Pointer.h"

namespace core {

namespace {

bool LookedFor(LinkPhase phase) { return phase == LinkPhase::LateAtStart || phase == LinkPhase::Gone; }

}  // namespace

void ReceiverLink::Started(bool found) {
    if (found) {
        Found();
        return;
    }
    state_.link.missingSince = desktop_.Now();
    Missing(LinkPhase::LateAtStart);
}

void ReceiverLink::Answered(bool keyReady) {
    LinkState& link = state_.link;
    link.failing = false;
    if (!keyReady) link.draining = false;
}

void ReceiverLink::Failed(uint32_t error) {
    LinkState& link = state_.link;
    if (link.phase != LinkPhase::Polling) return;
    const uint32_t now = desktop_.Now();
    if (!link.failing) {
        link.failing = true;
        link.failingSince = now;
        return;
    }
    if (now - link.failingSince < FailingForMs) return;
    desktop_.TraceFailure("every request to the remote receiver for 2 s", error);
    desktop_.SetPolling(false);
    desktop_.CloseReceiver();
    link.nextWaitMs = FirstRetryMs;
    Missing(LinkPhase::Gone);
}

bool ReceiverLink::DropsKey() { return state_.link.draining; }

void ReceiverLink::TimerFired() {
    LinkState& link = state_.link;
    if (link.phase == LinkPhase::Waking) {
        desktop_.CloseReceiver();
        if (desktop_.OpenReceiver()) {
            Found();
        } else {
            link.nextWaitMs = FirstRetryMs;
            Missing(link.everFound ? LinkPhase::Gone : LinkPhase::LateAtStart);
        }
    } else if (LookedFor(link.phase)) {
        LookAgain();
    } else {
        desktop_.SetLinkTimer(0);
    }
}

void ReceiverLink::DevicesChanged() {
    // A failed look here leaves the schedule as it was.
    if (LookedFor(state_.link.phase) && desktop_.OpenReceiver()) Found();
}

void ReceiverLink::Suspending() {
    state_.link.phase = LinkPhase::Asleep;
    desktop_.SetPolling(false);
    desktop_.SetLinkTimer(0);
    ReleaseHeldButton(state_.pointer, desktop_);
}

void ReceiverLink::Resumed() {
    LinkState& link = state_.link;
    const uint32_t now = desktop_.Now();
    // The broadcasts of one resume come close together; a new sleep comes
    // after a suspend.
    if (link.phase != LinkPhase::Asleep && link.resumed && now - link.resumedAt < ResumeQuietMs)
        return;
    link.resumed = true;
    link.resumedAt = now;
    link.phase = LinkPhase::Waking;
    desktop_.SetPolling(false);
    desktop_.SetLinkTimer(ResumeSettleMs);
}

bool ReceiverLink::QuietAfterResume() {
    const LinkState& link = state_.link;
    return link.resumed && desktop_.Now() - link.resumedAt < ResumeQuietMs;
}

void ReceiverLink::Missing(LinkPhase phase) {
    LinkState& link = state_.link;
    link.phase = phase;
    link.failing = false;
    desktop_.ShowReceiverMissing(true);
    LookAgainLater();
}

void ReceiverLink::LookAgain() {
    if (desktop_.OpenReceiver()) Found();
    else LookAgainLater();
}

void ReceiverLink::LookAgainLater() {
    LinkState& link = state_.link;
    if (link.phase == LinkPhase::Gone) {
        desktop_.SetLinkTimer(link.nextWaitMs);
        link.nextWaitMs = link.nextWaitMs < LongestRetryMs / 2 ? link.nextWaitMs * 2 : LongestRetryMs;
    } else {
        desktop_.SetLinkTimer(desktop_.Now() - link.missingSince < LateCardQuickForMs
                                  ? LateCardRetryMs
                                  : LateCardSlowRetryMs);
    }
}

void ReceiverLink::Found() {
    LinkState& link = state_.link;
    // Opened again: what the receiver holds was sent before, or while, it was away.
    link.draining = link.everFound;
    link.everFound = true;
    link.failing = false;
    const bool wasMissing = LookedFor(link.phase);
    link.phase = LinkPhase::Polling;
    desktop_.SetLinkTimer(0);
    if (wasMissing) desktop_.ShowReceiverMissing(false);
    desktop_.SetPolling(true);
}

}  // namespace core
