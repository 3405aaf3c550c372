// Turns presses and releases of the virtual remote's buttons into key feed
// lines: a short press taps the code once, a long one holds it for as long as
// the button stays down.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vremote {

constexpr uint64_t HoldDelayMs = 350;   // a press this long becomes a hold
constexpr uint64_t HoldRenewMs = 150;   // a hold's line is written again this often
constexpr uint64_t HoldLengthMs = 400;  // how long each hold line holds the code

std::string TapLine(int code);
std::string HoldLine(int code, uint64_t ms);

// The state of one press. Times are milliseconds of any steady clock, given
// by the caller to every call; each call returns the line to write, if any.
// Presses are told apart by their code: a release or cancel for a code that
// is not the one down is ignored.
class HoldTracker {
public:
    using Line = std::optional<std::string>;

    // A button goes down. A press still in progress ends first, as release() would end it.
    Line press(int code, uint64_t now);
    // The button comes up: "tap" when its hold has not started, else the end of the hold.
    Line release(int code, uint64_t now);
    // The press was taken away (mouse capture lost): a hold ends, a press not
    // yet held is dropped without a line.
    Line cancel(int code, uint64_t now);
    // Starts the hold when the press is long enough, and renews it.
    Line tick(uint64_t now);

    // When tick() next has a line to write; empty while no button is down.
    std::optional<uint64_t> nextDue() const;
    bool down() const { return press_.has_value(); }

private:
    struct Press {
        int code;
        uint64_t due;  // the next hold line
        bool holding;
    };
    std::optional<Press> press_;
};

}  // namespace vremote
