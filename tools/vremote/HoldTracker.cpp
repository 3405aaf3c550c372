#include "HoldTracker.h"

namespace vremote {

std::string TapLine(int code) {
    return "tap " + std::to_string(code);
}

std::string HoldLine(int code, uint64_t ms) {
    return "hold " + std::to_string(code) + " " + std::to_string(ms);
}

HoldTracker::Line HoldTracker::press(int code, uint64_t now) {
    Line ended = press_ ? release(press_->code, now) : Line{};
    press_ = Press{code, now + HoldDelayMs, false};
    return ended;
}

HoldTracker::Line HoldTracker::release(int code, uint64_t now) {
    if (!press_ || press_->code != code) return {};
    const bool holding = press_->holding;
    Line line = cancel(code, now);
    return holding ? line : TapLine(code);
}

HoldTracker::Line HoldTracker::cancel(int code, uint64_t) {
    if (!press_ || press_->code != code) return {};
    const bool holding = press_->holding;
    press_.reset();
    return holding ? HoldLine(code, 0) : Line{};
}

HoldTracker::Line HoldTracker::tick(uint64_t now) {
    if (!press_ || now < press_->due) return {};
    press_->holding = true;
    press_->due = now + HoldRenewMs;  // a late tick delays the next one instead of bunching up
    return HoldLine(press_->code, HoldLengthMs);
}

std::optional<uint64_t> HoldTracker::nextDue() const {
    if (!press_) return {};
    return press_->due;
}

}  // namespace vremote
