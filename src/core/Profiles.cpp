// The profiles in the router: a key that no TV application takes goes to the
// profile of the window in front, when it has one for the key.
#include "core/Profiles.h"

#include <cctype>

#include "core/Remote.h"

namespace core {

namespace {

bool SameInAnyCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

bool Names(List<const char* const> names, const char* name) {
    if (*name == '\0') return false;
    for (const char* candidate : names)
        if (SameInAnyCase(candidate, name)) return true;
    return false;
}

}  // namespace

const Profile* MatchProfile(List<Profile> profiles, const Foreground& foreground) {
    for (const Profile& profile : profiles)
        if (Names(profile.programs, foreground.program)) return &profile;
    for (const Profile& profile : profiles)
        if (Names(profile.windowClasses, foreground.windowClass)) return &profile;
    return nullptr;
}

bool RepeatsInProfile(int code) {
    switch (static_cast<RemoteKey>(code)) {
        case RemoteKey::Up:
        case RemoteKey::Down:
        case RemoteKey::Left:
        case RemoteKey::Right:
        case RemoteKey::VolumeUp:
        case RemoteKey::VolumeDown:
        case RemoteKey::FastForward:
        case RemoteKey::Rewind:
            return true;
        default:
            return false;
    }
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
