#include "remote/KeyPoll.h"

#include "apps/TvApplication.h"
#include "card/RegisterProtocol.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "remote/KeyRouter.h"

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

bool IsOneShotKey(int code) {
    return code == PowerKey || code == StandbyKey || code == ShutdownOrStandbyKey ||
           code == ShutdownKey;
}

int SuppressRepeat(const RepeatState& state, bool repeat, int code) {
    if (!repeat) return code;
    if (IsOneShotKey(code) || ShutdownDialogOpen) return SuppressedKey;
    const bool targetActive = WinDvrApp.active || QuillmarshApp.active || BeyondTvApp.active;
    if (state.repeatCount % RepeatsPerDelivery != 0 && targetActive)
        return SuppressedKey;
    return code;
}

void PollOnce(HWND window, TickSource now) {
    if (!IsKeyReady()) return;
    const int code = ReadKeyCode();
    const bool repeat = UpdateRepeatState(KeyRepeat, code, now());
    RouteKey(SuppressRepeat(KeyRepeat, repeat, code), window);
}

void CALLBACK PollRemote(HWND window, UINT, UINT_PTR, DWORD) { PollOnce(window, GetTickCount); }
