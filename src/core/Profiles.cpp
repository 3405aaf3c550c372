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

bool TitleFits(const Profile& profile, const char* title) {
    return std::any_of(profile.titles.begin(), profile.titles.end(),
                       [title](const char* pattern) { return MatchesPattern(pattern, title); });
}

const Profile* FirstThat(List<Profile> profiles, bool titled, List<const char* const> Profile::*names,
                         const Foreground& front, const char* name) {
    const Profile* found = std::find_if(profiles.begin(), profiles.end(), [&](const Profile& profile) {
        return (profile.titles.count != 0) == titled && Names(profile.*names, name) &&
               (!titled || TitleFits(profile, front.title));
    });
    return found != profiles.end() ? found : nullptr;
}

// The character of UTF-8 text that begins at text ends before the result.
const char* NextCharacter(const char* text) {
    do ++text;
    while ((static_cast<unsigned char>(*text) & 0xC0) == 0x80);
    return text;
}

}  // namespace

const Profile* MatchProfile(List<Profile> profiles, const Foreground& foreground) {
    for (const bool titled : {true, false}) {
        if (const Profile* profile =
                FirstThat(profiles, titled, &Profile::programs, foreground, foreground.program))
            return profile;
        if (const Profile* profile =
                FirstThat(profiles, titled, &Profile::windowClasses, foreground, foreground.windowClass))
            return profile;
    }
    return nullptr;
}

bool MatchesPattern(const char* pattern, const char* text) {
    // Greedy with one step back to the last star: linear in practice, and
    // never more than the pattern's length times the text's.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text != '\0') {
        if (*pattern == '*') {
            star = ++pattern;
            resume = text;
        } else if (*pattern == '?') {
            ++pattern;
            text = NextCharacter(text);
        } else if (*pattern != '\0' && SameLetter(*pattern, *text)) {
            ++pattern;
            ++text;
        } else if (star != nullptr) {
            pattern = star;
            text = resume = NextCharacter(resume);
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

bool RepeatsInProfile(int code) {
    const RemoteKeyRow* row = RowOf(code);
    return row != nullptr && row->repeatsInPlayers();
}

bool RepeatsWhileHeld(const KeyAction& row) {
    if ((row.habit & RowRepeats) != 0) return true;
    if ((row.habit & RowOnce) != 0) return false;
    return RepeatsInProfile(Code(row.key));
}

}  // namespace core
