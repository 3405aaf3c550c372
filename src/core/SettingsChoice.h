// The Settings dialog's choice of the default application, and the checks on
// the settings read from the registry.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Applications.h"
#include "core/State.h"

namespace core {

// Where the settings are kept, under HKEY_LOCAL_MACHINE, and their names.
constexpr char SettingsKeyPath[] = "Software\\Varnel Multimedia\\Osprey Utilities";
constexpr char DefaultAppValue[] = "DefaultTVAPP";
constexpr char AlwaysRemoteOffValue[] = "AlwaysRemoteOff";
constexpr char MediaKeysValue[] = "MediaKeys";
constexpr char ProfilesValue[] = "Profiles";
constexpr char ShowKeysValue[] = "ShowKeys";
constexpr char ServerValue[] = "Server";

// Only 1 keeps the program from running; any other value lets it run.
constexpr bool AlwaysRemoteOffFrom(uint32_t stored) { return stored == 1; }
// Only 1 turns the media keys, the profiles or the key display on.
constexpr bool MediaKeysFrom(uint32_t stored) { return stored == 1; }
constexpr bool SwitchFrom(uint32_t stored) { return stored == 1; }

// The installed applications, in table order, and the position to select:
// the default application's, else the one chosen last, else the first.
struct ApplicationList {
    const char* texts[ApplicationCount] = {};
    size_t count = 0;
    int selected = 0;
};
ApplicationList ListForSettings(State& state);

// The user chose the entry at position with that text; true when it changed
// the default application, which is then to be stored.
bool ChooseDefault(State& state, int position, const char* text);
// The entry at position was chosen, but its text could not be read: the
// position is kept for the next time the dialog opens, and nothing changes.
void ChooseUnreadableEntry(State& state, int position);
// The media keys' check box was left checked or not; true when that changed
// the setting, which is then to be stored.
bool ChooseMediaKeys(State& state, bool on);
// The same for the profiles' and the key display's check boxes.
bool ChooseProfiles(State& state, bool on);
bool ChooseShowKeys(State& state, bool on);
// The key server's check box: other programs receive the remote's keys.
bool ChooseServer(State& state, bool on);

}  // namespace core
