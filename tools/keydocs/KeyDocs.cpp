// Descriptions built from the program's key tables and routing decisions, so
// that what the documents say cannot drift from what the program does.
#include "KeyDocs.h"

#include <cctype>
#include <vector>

#include "core/Applications.h"
#include "core/KeyNames.h"
#include "core/Pointer.h"

namespace keydocs {

namespace {

using core::Application;
using core::KeyAction;
using core::KeyActionKind;
using core::WithoutTarget;

using core::MachineRole;
using core::MachineRoleOf;
using core::PointerUse;
constexpr int SlowStepPixels = 10;
constexpr int FastStepPixels = 50;

// A virtual key as profiles.ini names it.
std::string KeyName(unsigned key) {
    const std::string name = core::KeyName(key);
    return name.empty() ? "virtual key " + std::to_string(key) : name;
}

std::string ChordText(const KeyAction& action) {
    std::string text;
    for (uint8_t key : action.keys) {
        if (key == 0) break;
        if (!text.empty()) text += '+';
        text += KeyName(key);
    }
    return text;
}

// A pointer action in the words of the key display: "left click", "up-left".
const char* PointerActionText(core::PointerAction action) {
    static constexpr const char* Texts[] = {"",   "left click", "right click", "button",   "up",
                                            "down", "left",       "right",       "up-left", "up-right",
                                            "down-left", "down-right"};
    return Texts[static_cast<size_t>(action)];
}

std::string DescribeRow(const KeyAction& action) {
    switch (action.kind) {
        case KeyActionKind::Post:
            return "key " + KeyName(action.value);
        case KeyActionKind::PostThen:
            return "keys " + KeyName(action.value) + ", " +
                   KeyName(action.parameter);
        case KeyActionKind::Chord:
            return ChordText(action) + " to the focused window";
        case KeyActionKind::FrontChord:
            return "to the front, then " + ChordText(action);
        case KeyActionKind::Move:
            return std::string("pointer ") + PointerActionText(core::DirectionOf(action.dx, action.dy)) + " by " +
                   std::to_string(SlowStepPixels) + " px (" + std::to_string(FastStepPixels) +
                   " px in fast step)";
        case KeyActionKind::Click:
            return "left click";
        case KeyActionKind::ToggleFastStep:
            return "pointer step " + std::to_string(SlowStepPixels) + " px / " +
                   std::to_string(FastStepPixels) + " px";
        case KeyActionKind::Command:
            return "command " + std::to_string(action.value);
        case KeyActionKind::ShutdownCommand:
            return "command " + std::to_string(action.value) + " (shut down)";
        case KeyActionKind::AppCommand:
            return "app command " + std::to_string(action.value);
        case KeyActionKind::Pointer:
            return "the pointer";
        case KeyActionKind::Nothing:
            return "nothing";
        case KeyActionKind::LookupOnly:
            break;
    }
    return {};
}

std::string DescribeTarget(const core::Application& application, int code) {
    if (MachineRoleOf(code) == MachineRole::Power) return std::string("closes ") + application.name;
    const KeyAction* action = application.keys->Find(code);
    if (action == nullptr) return {};
    return DescribeRow(*action);
}

// The key display's name of the pointer action ("left click"), said in full
// for the toggle and the moves.
std::string DescribePointer(int code) {
    const core::PointerAction action = core::PointerActionOf(code);
    if (action == core::PointerAction::None) return {};
    const char* name = PointerActionText(action);
    switch (core::RowOf(code)->pointer.use) {
        case PointerUse::ToggleButton:
            return "holds the button down, or lets it go (drag)";
        case PointerUse::Move:
            return std::string("pointer ") + name + ", faster while held";
        default:
            return name;
    }
}

// The media key that code types while the media keys are on; empty for none.
std::string MediaKeyText(int code) {
    const KeyAction* action = core::MediaKeys.Find(code);
    if (action == nullptr) return {};
    return "media key " + KeyName(action->keys[0]);
}

// A machine role whose action without a target the default application
// chooses (its row's off or volumeDown).
struct OwnKey {
    MachineRole role;
    WithoutTarget Application::*asDefault;
    WithoutTarget withoutDefault;  // when the default selector names no row
};

constexpr OwnKey OwnKeys[] = {
    {MachineRole::Off, &Application::off, core::OffWithoutDefault},
    {MachineRole::VolumeDown, &Application::volumeDown, core::VolumeDownWithoutDefault},
};

const OwnKey* FindOwnKey(int code) {
    for (const OwnKey& key : OwnKeys)
        if (key.role == MachineRoleOf(code)) return &key;
    return nullptr;
}

// What the action does while the media keys are off: a media key does nothing.
std::string ActionText(WithoutTarget action) {
    if (action == WithoutTarget::Standby) return "standby";
    return action == WithoutTarget::ShutdownDialog ? "shutdown dialog" : "";
}

// "Beyond TV", "Beyond TV or WinDVR 6", "A, B or C": the rows whose action
// for the key is (or, with matching false, is not) `action`.
std::string NamesOfRows(const OwnKey& key, WithoutTarget action, bool matching) {
    std::string names;
    std::string last;
    for (const Application& application : core::Applications) {
        if ((application.*key.asDefault == action) != matching) continue;
        if (!last.empty()) names += (names.empty() ? "" : ", ") + last;
        last = application.name;
    }
    return names.empty() ? last : names + " or " + last;
}

// Whether no row before `row` has that action for the key.
bool FirstRowWith(const OwnKey& key, WithoutTarget action, size_t row) {
    for (size_t i = 0; i < row; ++i)
        if (core::Applications[i].*key.asDefault == action) return false;
    return true;
}

// "shutdown dialog when Beyond TV is the default, else standby": one clause
// per action of the rows that differs from the action without a default.
std::string DescribeOwnKey(const OwnKey& key) {
    std::string text;
    for (size_t i = 0; i < core::ApplicationCount; ++i) {
        const WithoutTarget action = core::Applications[i].*key.asDefault;
        if (action == key.withoutDefault || !FirstRowWith(key, action, i)) continue;
        const std::string does = ActionText(action);
        text += (text.empty() ? "" : "; ") + (does.empty() ? std::string("nothing") : does) +
                " when " + NamesOfRows(key, action, true) + " is the default";
    }
    const std::string otherwise = ActionText(key.withoutDefault);
    if (otherwise.empty()) return text;
    return text.empty() ? otherwise : text + ", else " + otherwise;
}

std::string DescribeWithoutTarget(int code) {
    if (const OwnKey* key = FindOwnKey(code)) return DescribeOwnKey(*key);
    switch (MachineRoleOf(code)) {
        case MachineRole::Power:
            return "starts or closes the default TV application, closes the others";
        case MachineRole::Standby:
            return "standby";
        default:
            return DescribePointer(code);
    }
}

// What the media keys or a profile do with a key: a key of the machine's own
// reaches them only where the default application gives it no other role.
std::string WhereNoOtherRole(const std::string& key, int code) {
    const MachineRole role = MachineRoleOf(code);
    if (role == MachineRole::Power || role == MachineRole::Standby) return {};
    const OwnKey* own = FindOwnKey(code);
    if (key.empty() || own == nullptr) return key;
    if (own->withoutDefault == WithoutTarget::MediaKey) {
        const std::string others = NamesOfRows(*own, WithoutTarget::MediaKey, false);
        return others.empty() ? key : key + " unless " + others + " is the default";
    }
    const std::string rows = NamesOfRows(*own, WithoutTarget::MediaKey, true);
    return rows.empty() ? std::string() : key + " when " + rows + " is the default";
}

// Only what the media keys change; every other key acts as without them.
std::string DescribeMediaKey(int code) { return WhereNoOtherRole(MediaKeyText(code), code); }

}  // namespace

namespace {

constexpr unsigned HighestVirtualKey = 0xFF;
constexpr unsigned HighestAppCommand = 0xFF;

// The position of the number that ends the name ("F11": 1), or npos.
size_t NumberAt(const std::string& name) {
    size_t at = name.size();
    while (at > 0 && std::isdigit(static_cast<unsigned char>(name[at - 1]))) --at;
    return at == name.size() ? std::string::npos : at;
}

// Whether the name follows the other in a run: "B" after "A", "F10" after "F9".
bool Follows(const std::string& name, const std::string& before) {
    if (name.size() == 1 && before.size() == 1) return name[0] == before[0] + 1;
    const size_t at = NumberAt(name);
    const size_t beforeAt = NumberAt(before);
    return at != std::string::npos && beforeAt != std::string::npos && at > 0 &&
           name.compare(0, at, before, 0, beforeAt) == 0 &&
           std::stoi(name.substr(at)) == std::stoi(before.substr(beforeAt)) + 1;
}

std::string Quoted(const std::string& name) { return "`" + name + "`"; }

// "a, b and c".
std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

}  // namespace

std::string KeyNamesText() {
    std::vector<std::string> items;
    std::string first;
    std::string last;
    const auto endRun = [&] {
        if (!first.empty()) items.push_back(first == last ? Quoted(first) : Quoted(first) + " to " + Quoted(last));
        first.clear();
    };
    for (unsigned key = 1; key <= HighestVirtualKey; ++key) {
        const std::string name = core::KeyName(key);
        if (!name.empty() && !first.empty() && Follows(name, last)) {
            last = name;
            continue;
        }
        endRun();
        first = last = name;
    }
    endRun();
    return Joined(items);
}

std::string AppCommandsText() {
    std::vector<std::string> items;
    for (unsigned command = 1; command <= HighestAppCommand; ++command) {
        const char* name = core::AppCommandName(command);
        if (name != nullptr && core::KeyNamed(name) == 0) items.push_back(Quoted(name));
    }
    return Joined(items);
}

const char* ModeName(Mode mode) {
    switch (mode.kind) {
        case Mode::Kind::Target:
            return core::ApplicationOf(mode.target).name;
        case Mode::Kind::MediaKeys:
            return "With media keys";
        case Mode::Kind::NoApplication:
            break;
    }
    return "No TV application";
}

// What a profile's row does, and how where it differs from the key's habit;
// empty for no row and for one left to the media keys and the pointer.
std::string DescribeProfileRow(const KeyAction* action, int code) {
    if (action == nullptr) return {};
    std::string text = action->kind == KeyActionKind::Chord        ? "types " + core::ProfileActionText(*action)
                       : action->kind == KeyActionKind::AppCommand ? "sends " + core::ProfileActionText(*action)
                       : action->kind == KeyActionKind::Nothing    ? "does nothing"
                                                                    : "";
    const bool repeats = core::RepeatsWhileHeld(*action);
    if (!text.empty() && !core::IsHoldRow(*action) && repeats != core::RepeatsInProfile(code))
        text += repeats ? ", repeating while held" : ", once per press";
    return text;
}

std::string DescribeProfile(const core::Profile& profile, int code) {
    std::string text = DescribeProfileRow(profile.keys.Find(code), code);
    const std::string hold = DescribeProfileRow(profile.keys.FindHold(code), code);
    if (!hold.empty()) text += (text.empty() ? "held: " : "; held: ") + hold;
    return WhereNoOtherRole(text, code);
}

std::string Describe(Mode mode, int code) {
    switch (mode.kind) {
        case Mode::Kind::Target:
            return DescribeTarget(core::ApplicationOf(mode.target), code);
        case Mode::Kind::MediaKeys:
            return DescribeMediaKey(code);
        case Mode::Kind::NoApplication:
            break;
    }
    return DescribeWithoutTarget(code);
}

}  // namespace keydocs
