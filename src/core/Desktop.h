// What the program's decisions need from the desktop, cut into its ports: the
// windows and input (Windows.h), the machine's receiver, timers and clock
// (Machine.h), what the user is told (Feedback.h) and the players' profiles
// (ProfileSource.h). The desktop is all four in one object.
#pragma once
#include "core/Feedback.h"
#include "core/Machine.h"
#include "core/ProfileSource.h"
#include "core/Windows.h"

namespace core {

class Desktop : public Windows, public Machine, public Feedback, public ProfileSource {
protected:
    ~Desktop() = default;
};

}  // namespace core
