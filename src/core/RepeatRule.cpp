#include "core/RepeatRule.h"

#include "core/KeyMap.h"
#include "core/RemoteKey.h"

namespace core {

bool IsOneShotKey(int code) {
    const RemoteKeyRow* row = RowOf(code);
    return row != nullptr && row->oneShot();
}

void RepeatRule::Polled(uint32_t now) {
    previousPollTime_ = lastPollTime_;
    lastPollTime_ = now;
    if (polls_ < 2) ++polls_;
}

bool RepeatRule::UpdateRepeatState(int code, uint32_t now) {
    // Unsigned arithmetic throughout: the tick counter's wrap does no harm.
    uint32_t gap = now - lastKeyTime_;
    const uint32_t sinceTickBefore = lastPollTime_ - previousPollTime_;
    if (polls_ == 2 && sinceTickBefore > LateTickMs && sinceTickBefore <= UnseenAtMostMs) {
        const uint32_t readInTime = previousPollTime_ + PollIntervalMs - lastKeyTime_;
        if (readInTime < gap) gap = readInTime;
    }
    const bool isRepeat = code == lastKeyCode_ && gap < RepeatWindowMs;
    if (isRepeat) {
        ++repeatCount_;
    } else {
        repeatCount_ = 0;
    }
    lastKeyTime_ = now;
    lastKeyCode_ = code;
    return isRepeat;
}

void RepeatRule::ActedOnRead(uint32_t now) {
    lastKeyTime_ = now;
    // The program looks again from now: the action is no late tick.
    lastPollTime_ = now;
}

int RepeatRule::SuppressRepeat(bool repeat, int code, const Situation& situation) const {
    if (!repeat) return code;
    if (situation.dialogOpen) return SuppressedKey;
    const bool targetActive = situation.targetActive;
    const RemoteKeyRow* row = RowOf(code);
    if (row != nullptr && row->machine == MachineRole::VolumeDown && situation.volumeDownIsMedia &&
        !targetActive)
        return code;
    if (IsOneShotKey(code)) return SuppressedKey;
    if (repeatCount_ % RepeatsPerDelivery != 0 && targetActive) return SuppressedKey;
    if (settings_.mediaKeys && !targetActive && !(row != nullptr && row->repeatsInPlayers()) &&
        MediaKeys.Find(code) != nullptr)
        return SuppressedKey;
    return code;
}

}  // namespace core
