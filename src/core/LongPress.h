// A long press: a profile's key that has a second action for a hold waits
// when it is pressed. It acts once: with its hold action when it is still
// held LongPressMs after the press, else with its own action when it is let
// go, which is when no read of it has come for RepeatWindowMs (the repeat
// rule's release) or another key is read. Keys without a hold action never
// wait.
#pragma once
#include <cstdint>
#include <string>

#include "core/KeyActions.h"
#include "core/KeyMap.h"
#include "core/Windows.h"

namespace core {

constexpr uint32_t LongPressMs = 800;

// Performs a profile's row on the window in front (window: that window, for
// an app command) and shows it on the key display under the profile's name.
void ActInProfile(Windows& windows, KeyActions& keys, const KeyAction& row, WindowRef window,
                  const char* profile);

class LongPress {
public:
    LongPress(Windows& windows, KeyActions& keys) : windows_(windows), keys_(keys) {}

    // The key was pressed at time now with the window in front in the
    // profile's view: it waits between its press and hold rows.
    void Press(int code, uint32_t now, const KeyAction& press, const KeyAction& hold, WindowRef window,
               const char* profile);
    // True from the code's press until it is let go: while it waits, and
    // while it is still held after its hold action, when its reads do nothing.
    bool Takes(int code) const { return phase_ != Phase::Idle && code_ == code; }
    bool Takes() const { return phase_ != Phase::Idle; }
    // A look at the receiver at time now, the key's last read at lastRead:
    // the waiting key acts when it has been let go or held long enough.
    void Look(uint32_t now, uint32_t lastRead, bool keyRead);
    // Another key, or a new press of the same, was read: a waiting key was let go.
    void LetGo();

private:

    Windows& windows_;
    KeyActions& keys_;
    enum class Phase { Idle, Waiting, Held };
    Phase phase_ = Phase::Idle;
    int code_ = 0;
    uint32_t pressed_ = 0;
    KeyAction press_{};
    KeyAction hold_{};
    WindowRef window_ = 0;
    std::string profile_;  // its name: the profiles may be read again meanwhile
};

}  // namespace core
