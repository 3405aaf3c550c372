// The profiles in the router: a key that no TV application takes goes to the
// profile of the window in front, when it has one for the key.
#include "core/Profiles.h"

#include <algorithm>

#include "core/Remote.h"
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

bool Remote::RouteToProfile(int code) {
    // One lookup of the window in front per key.
    const Foreground front = desktop_.ForegroundWindow();
    const Profile* profile = MatchProfile(desktop_.Profiles(), front);
    if (profile == nullptr) return false;
    const KeyAction* action = profile->keys.Find(code);
    if (action == nullptr || action->kind == KeyActionKind::Pointer) return false;
    // A held key acts once per press, but for those that repeat.
    if (readIsRepeat_ && !RepeatsInProfile(code)) return true;
    if (action->kind == KeyActionKind::AppCommand)
        desktop_.SendAppCommand(front.window, action->value);
    else
        desktop_.TypeToForeground(action->keys, ChordLength(*action));
    ShowKeyAction(profile->name, code);
    return true;
}

}  // namespace core
