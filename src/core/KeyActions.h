// The key maps' actions on the application that is the target, and the key
// display's line for each key that acts.
#pragma once
#include "core/Applications.h"
#include "core/Feedback.h"
#include "core/PowerSwitch.h"
#include "core/State.h"
#include "core/Windows.h"

namespace core {

class KeyActions {
public:
    // The application's key-target window and fast step are kept in its
    // run-time state (PowerSwitch); the key display follows the settings.
    KeyActions(PowerSwitch& power, Windows& windows, Feedback& feedback, const Settings& settings)
        : power_(power), windows_(windows), feedback_(feedback), settings_(settings) {}

    // The code's action on the application; known is its key-target window
    // when this key has found it already (0: the action looks it up).
    void RunKeyMap(AppId id, int code, WindowRef known = 0);
    // The key display, when it is on: who did what to the code's key (name:
    // the application's or profile's, for Named), or what the pointer did.
    void ShowKeyAction(KeyDoer who, const char* name, int code);
    void ShowPointerAction(int code);

private:
    void Show(const KeyDone& done);

    PowerSwitch& power_;
    Windows& windows_;
    Feedback& feedback_;
    const Settings& settings_;
};

}  // namespace core
