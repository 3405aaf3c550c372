// What the earlier version of the program wrote into a new profiles.ini.
#pragma once

namespace core {

// The first line of every profiles.ini it wrote, without the line end.
extern const char EarlierFileFirstLine[];
// The sections that followed, as profiles.ini text.
extern const char EarlierProfilesText[];

}  // namespace core
