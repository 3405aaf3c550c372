#include "receiver.h"

#include "emulator_ids.h"

#include <algorithm>

namespace cardemu {
namespace {

constexpr uint64_t kUsPerMs = 1000;
constexpr uint32_t kPercent = 100;
// 32-bit linear congruential generator (Numerical Recipes constants).
constexpr uint32_t kLcgMultiplier = 1664525u;
constexpr uint32_t kLcgIncrement = 1013904223u;
constexpr unsigned kLcgDiscardBits = 8;  // low bits of an LCG are weak

}  // namespace

Outcome removedOutcome() {
    Outcome out;
    out.hr = kDeviceRemovedResult;
    out.verdict = Verdict::Fault;
    return out;
}

void Receiver::tap(BYTE code) { taps_.push_back(code); }

void Receiver::tapAt(BYTE code, uint64_t atUs) {
    const auto later = std::upper_bound(
        scheduled_.begin(), scheduled_.end(), atUs,
        [](uint64_t at, const Scheduled& s) { return at < s.atUs; });
    scheduled_.insert(later, Scheduled{atUs, code});
}

void Receiver::releaseDue(uint64_t nowUs) {
    while (!scheduled_.empty() && scheduled_.front().atUs <= nowUs) {
        taps_.push_back(scheduled_.front().code);
        scheduled_.pop_front();
    }
}

void Receiver::hold(BYTE code, uint64_t nowUs, uint32_t ms) {
    holdCode_ = code;
    holdUntilUs_ = nowUs + ms * kUsPerMs;
    holdLatched_ = false;
}

void Receiver::failNext(FaultTarget target, HRESULT hr, uint32_t count) {
    if (target == FaultTarget::Status) {
        statusFaults_ = count;
        statusFaultHr_ = hr;
    } else {
        transferFaults_ = count;
        transferFaultHr_ = hr;
    }
}

void Receiver::setFaultRate(uint32_t pct, uint32_t seed) {
    faultPct_ = pct > kPercent ? kPercent : pct;
    rngState_ = seed;
    rateFailures_ = 0;
}

bool Receiver::injectFault(uint32_t& pending, HRESULT pendingHr, Outcome& out) {
    out.verdict = Verdict::Fault;
    if (pending > 0) {
        --pending;
        out.hr = pendingHr;
        return true;
    }
    if (faultPct_ > 0) {
        rngState_ = rngState_ * kLcgMultiplier + kLcgIncrement;
        if ((rngState_ >> kLcgDiscardBits) % kPercent < faultPct_) {
            out.hr = (rateFailures_++ % 2 == 0) ? S_FALSE : E_FAIL;
            return true;
        }
    }
    out.verdict = Verdict::Ok;
    return false;
}

Outcome Receiver::readStatus(uint64_t nowUs) {
    if (vanished_) return removedOutcome();
    Outcome out;
    if (injectFault(statusFaults_, statusFaultHr_, out)) return out;
    releaseDue(nowUs);
    holdLatched_ = holdActive(nowUs);
    const bool waiting = holdLatched_ || !taps_.empty();
    out.value = waiting ? layout::kStatusCodeWaiting : layout::kStatusIdle;
    return out;
}

Outcome Receiver::transfer(uint64_t nowUs) {
    if (vanished_) return removedOutcome();
    Outcome out;
    if (injectFault(transferFaults_, transferFaultHr_, out)) return out;
    if (holdActive(nowUs) || holdLatched_) {
        // A held key keeps waiting; once the hold is over, the code that the
        // last status read announced is still delivered once.
        holdLatched_ = false;
        out.value = holdCode_;
    } else if (!taps_.empty()) {
        out.value = taps_.front();
        taps_.pop_front();
    } else {
        out.verdict = Verdict::OkEmpty;
        out.value = 0;
    }
    return out;
}

}  // namespace cardemu
