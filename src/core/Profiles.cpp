// A profile's match for the window in front, and the keys that repeat in players.
#include "core/Profiles.h"

#include <algorithm>

#include "core/Text.h"

namespace core {

namespace {

// Empty names (a window whose program or class is unknown) never match.
bool Names(List<const char* const> names, const char* name) {
    return *name != '\0' && std::any_of(names.begin(), names.end(), [name](const char* candidate) {
        return SameInAnyCase(candidate, name);
    });
}

const Profile* FirstThat(List<Profile> profiles, List<const char* const> Profile::*names, const char* name) {
    const Profile* found = std::find_if(profiles.begin(), profiles.end(),
                                        [&](const Profile& profile) { return Names(profile.*names, name); });
    return found != profiles.end() ? found : nullptr;
}

}  // namespace

const Profile* MatchProfile(List<Profile> profiles, const Foreground& foreground) {
    if (const Profile* profile = FirstThat(profiles, &Profile::programs, foreground.program)) return profile;
    return FirstThat(profiles, &Profile::windowClasses, foreground.windowClass);
}

bool RepeatsInProfile(int code) {
    const RemoteKeyRow* row = RowOf(code);
    return row != nullptr && row->repeatsInPlayers();
}

}  // namespace core
