// What each key of the remote does, described from the program's own key
// tables and routing decisions, for the virtual remote and the README.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Applications.h"
#include "core/Profiles.h"
#include "core/RemoteKey.h"

namespace keydocs {

// Where a key goes: no TV application is the target (and, with "MediaKeys"
// 1, what changes then), or the application of one row is.
struct Mode {
    enum class Kind : uint8_t { NoApplication, MediaKeys, Target };
    Kind kind = Kind::NoApplication;
    core::AppId target = {};  // for Kind::Target
};

constexpr Mode NoApplication{Mode::Kind::NoApplication, {}};
constexpr Mode WithMediaKeys{Mode::Kind::MediaKeys, {}};
constexpr Mode TargetIs(core::AppId id) { return {Mode::Kind::Target, id}; }

// "No TV application", "With media keys", then one mode per application, in
// the order of the rows (core::Applications).
constexpr size_t ModeCount = 2 + core::ApplicationCount;

constexpr std::array<Mode, ModeCount> AllModes() {
    std::array<Mode, ModeCount> modes{NoApplication, WithMediaKeys};
    for (size_t i = 0; i < core::ApplicationCount; ++i)
        modes[2 + i] = TargetIs(static_cast<core::AppId>(i));
    return modes;
}

inline constexpr std::array<Mode, ModeCount> Modes = AllModes();

// "No TV application", "With media keys", or the application's name.
const char* ModeName(Mode mode);

// What the key does in that mode, one line of plain text; an empty string
// when the key does nothing there.
std::string Describe(Mode mode, int code);

// The names that profiles.ini reads, for the README's list of them: runs of
// names in the order of their virtual keys, "`0` to `9`, `A` to `Z`, `Backspace`,
// ...", then the app commands that are no key's name.
std::string KeyNamesText();
std::string AppCommandsText();

// What changes for the key while a window of the profile is in front,
// "Profiles" is 1 and no TV application runs, its action named as
// profiles.ini names it; an empty string when the key acts as without the
// profile.
std::string DescribeProfile(const core::Profile& profile, int code);

}  // namespace keydocs
