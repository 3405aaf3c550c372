// Model of the remote receiver behind the capture filter: codes wait in the
// receiver until a bus transfer takes them; tests steer it with key taps,
// held keys, injected faults and the card's removal.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>

namespace cardemu {

enum class Verdict { Ok, OkEmpty, Fault };

struct Outcome {
    HRESULT hr = S_OK;
    Verdict verdict = Verdict::Ok;
    BYTE value = 0;  // status byte or received code; meaningful unless Fault
};

enum class FaultTarget { Status, Transfer };

// What every request to a card that was removed returns.
constexpr HRESULT kDeviceRemovedResult = HRESULT_FROM_WIN32(ERROR_DEVICE_REMOVED);

// A request that fails as on a removed card.
Outcome removedOutcome();

class Receiver {
public:
    // The code waits once, behind any codes already waiting.
    void tap(BYTE code);
    // Like tap, but the code joins the waiting codes only at the first status
    // read at or after `atUs`; scheduled codes join in time order (equal
    // times in the order given).
    void tapAt(BYTE code, uint64_t atUs);
    // The code waits at every status read for `ms` from `nowUs`; a new hold
    // replaces the current one. Taps stay queued behind an active hold.
    void hold(BYTE code, uint64_t nowUs, uint32_t ms);
    // The next `count` requests of that kind fail with `hr`.
    void failNext(FaultTarget target, HRESULT hr, uint32_t count);
    // From now on each request fails with probability pct%, drawn from a
    // generator seeded with `seed`; failures alternate S_FALSE and E_FAIL.
    void setFaultRate(uint32_t pct, uint32_t seed);
    // The card is removed: from now on every request fails with
    // kDeviceRemovedResult; what waits, the hold and the faults stay unused.
    void vanish() { vanished_ = true; }
    bool vanished() const { return vanished_; }

    Outcome readStatus(uint64_t nowUs);
    Outcome transfer(uint64_t nowUs);

private:
    bool holdActive(uint64_t nowUs) const { return holdUntilUs_ > nowUs; }
    bool injectFault(uint32_t& pending, HRESULT pendingHr, Outcome& out);
    void releaseDue(uint64_t nowUs);

    struct Scheduled {
        uint64_t atUs;
        BYTE code;
    };

    std::deque<BYTE> taps_;
    std::deque<Scheduled> scheduled_;  // ordered by atUs
    BYTE holdCode_ = 0;
    uint64_t holdUntilUs_ = 0;
    bool holdLatched_ = false;  // a status read reported the held code

    uint32_t statusFaults_ = 0;
    HRESULT statusFaultHr_ = S_OK;
    uint32_t transferFaults_ = 0;
    HRESULT transferFaultHr_ = S_OK;

    uint32_t faultPct_ = 0;
    uint32_t rngState_ = 0;
    uint32_t rateFailures_ = 0;

    bool vanished_ = false;
};

}  // namespace cardemu
