#include "receiver/KeyPoll.h"

#include "pointer/Pointer.h"
#include "receiver/RegisterProtocol.h"

RepeatState KeyRepeat;

bool UpdateRepeatState(RepeatState& state, int code, DWORD now) {
    // Unsigned arithmetic: the tick counter's wrap does no harm.
    const bool repeat = code == state.lastKeyCode && now - state.lastKeyTime < RepeatWindowMs;
    if (repeat) {
        ++state.repeatCount;
    } else {
        state.repeatCount = 0;
        StepCounter = 0;
    }
    state.lastKeyTime = now;
    state.lastKeyCode = code;
    return repeat;
}

void CALLBACK PollRemote(HWND, UINT, UINT_PTR, DWORD) {
    if (!IsKeyReady()) return;
    const int code = ReadKeyCode();
    UpdateRepeatState(KeyRepeat, code, GetTickCount());
}
