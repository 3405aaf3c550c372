#include "core/LongPress.h"

#include "core/RepeatRule.h"

namespace core {

void ActInProfile(Windows& windows, KeyActions& keys, const KeyAction& row, WindowRef window,
                  const char* profile) {
    if (row.kind == KeyActionKind::Nothing || row.kind == KeyActionKind::Pointer) return;
    if (row.kind == KeyActionKind::AppCommand)
        windows.SendAppCommand(window, row.value);
    else
        windows.TypeToForeground(row.keys, ChordLength(row));
    keys.ShowKeyAction(KeyDoer::Named, profile, Code(row.key));
}

void LongPress::Press(int code, uint32_t now, const KeyAction& press, const KeyAction& hold,
                      WindowRef window, const char* profile) {
    LetGo();
    phase_ = Phase::Waiting;
    code_ = code;
    pressed_ = now;
    press_ = press;
    hold_ = hold;
    window_ = window;
    profile_ = profile;
}

void LongPress::Look(uint32_t now, uint32_t lastRead, bool keyRead) {
    // Only a look that finds no key shows that the remote has stopped sending it.
    if (!keyRead && now - lastRead >= RepeatWindowMs) {
        LetGo();
    } else if (phase_ == Phase::Waiting && now - pressed_ >= LongPressMs) {
        phase_ = Phase::Held;
        ActInProfile(windows_, keys_, hold_, window_, profile_.c_str());
    }
}

void LongPress::LetGo() {
    const bool waiting = phase_ == Phase::Waiting;
    phase_ = Phase::Idle;
    if (waiting) ActInProfile(windows_, keys_, press_, window_, profile_.c_str());
}

}  // namespace core
