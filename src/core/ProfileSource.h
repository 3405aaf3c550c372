// Where the players' profiles come from.
#pragma once
#include "core/List.h"

namespace core {

struct Profile;

class ProfileSource {
public:
    // The players' profiles as profiles.ini says them now: read again when
    // the file has changed since it was last read, and written from the
    // built-in profiles when it is missing.
    virtual List<Profile> Profiles() = 0;

protected:
    ~ProfileSource() = default;
};

}  // namespace core
