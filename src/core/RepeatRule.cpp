#include "core/RepeatRule.h"

#include "core/KeyMap.h"
#include "core/RemoteKey.h"

namespace core {

bool IsOneShotKey(int code) {
    const RemoteKeyRow* row = RowOf(code);
    return row != nullptr && row->oneShot();
}

void Polled(State& state, uint32_t now) {
    RepeatState& repeat = state.repeat;
    repeat.previousPollTime = repeat.lastPollTime;
    repeat.lastPollTime = now;
    if (repeat.polls < 2) ++repeat.polls;
}

bool UpdateRepeatState(State& state, int code, uint32_t now) {
    RepeatState& repeat = state.repeat;
    // Unsigned arithmetic throughout: the tick counter's wrap does no harm.
    uint32_t gap = now - repeat.lastKeyTime;
    const uint32_t sinceTickBefore = repeat.lastPollTime - repeat.previousPollTime;
    if (repeat.polls == 2 && sinceTickBefore > LateTickMs && sinceTickBefore <= UnseenAtMostMs) {
        const uint32_t readInTime = repeat.previousPollTime + PollIntervalMs - repeat.lastKeyTime;
        if (readInTime < gap) gap = readInTime;
    }
    const bool isRepeat = code == repeat.lastKeyCode && gap < RepeatWindowMs;
    if (isRepeat) {
        ++repeat.repeatCount;
    } else {
        repeat.repeatCount = 0;
        state.pointer.stepCounter = 0;
    }
    repeat.lastKeyTime = now;
    repeat.lastKeyCode = code;
    return isRepeat;
}

void ActedOnRead(State& state, uint32_t now) {
    RepeatState& repeat = state.repeat;
    repeat.lastKeyTime = now;
    // The program looks again from now: the action is no late tick.
    repeat.lastPollTime = now;
}

int SuppressRepeat(const State& state, bool repeat, int code, bool volumeDownIsMedia) {
    if (!repeat) return code;
    if (state.shutdownDialogOpen) return SuppressedKey;
    const bool targetActive = state.AnyActive();
    const RemoteKeyRow* row = RowOf(code);
    if (row != nullptr && row->machine == MachineRole::VolumeDown && volumeDownIsMedia && !targetActive)
        return code;
    if (IsOneShotKey(code)) return SuppressedKey;
    if (state.repeat.repeatCount % RepeatsPerDelivery != 0 && targetActive) return SuppressedKey;
    if (state.settings.mediaKeys && !targetActive && !(row != nullptr && row->repeatsInPlayers()) &&
        MediaKeys.Find(code) != nullptr)
        return SuppressedKey;
    return code;
}

}  // namespace core
