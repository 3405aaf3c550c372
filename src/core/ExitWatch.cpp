// The exit watch: an application that Power started stops being the target
// once its windows have gone, and the watch's timer stops when nothing is
// watched.
#include "core/Remote.h"

namespace core {

namespace {

constexpr int IdleTicksBeforeStop = static_cast<int>(IdleWatchWaitMs / WatchIntervalMs);

}  // namespace

bool Remote::HasWindow(AppId id) {
    const Application& application = ApplicationOf(id);
    return desktop_.Find(application.keyTarget) != 0 || desktop_.Find(application.main) != 0;
}

void Remote::ExitWatchTick() {
    for (AppId id : ExitWatchOrder) {
        ApplicationState& own = state_.Of(id);
        if (!own.watched) continue;
        // Ends the watch when its windows have gone, by the same test with
        // which the router lets a closed target go.
        state_.idleWatchTicks = -1;
        if (HasWindow(id)) return;
        own.active = false;
        StopWatchTimer();
        own.watched = false;
        return;
    }
    if (++state_.idleWatchTicks >= IdleTicksBeforeStop) {
        state_.idleWatchTicks = -1;
        StopWatchTimer();
    }
}

void Remote::StartWatchTimer() {
    if (state_.watchTimerRunning) return;
    state_.watchTimerRunning = true;
    desktop_.SetWatchTimer(true);
}

void Remote::StopWatchTimer() {
    if (!state_.watchTimerRunning) return;
    state_.watchTimerRunning = false;
    desktop_.SetWatchTimer(false);
}

}  // namespace core
