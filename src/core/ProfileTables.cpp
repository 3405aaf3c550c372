// The profiles the program comes with.
#include "core/Profiles.h"

namespace core {

const List<Profile> BuiltInProfiles = {nullptr, 0};

}  // namespace core
