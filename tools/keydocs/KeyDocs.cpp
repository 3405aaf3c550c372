// Descriptions built from the program's key tables and routing decisions, so
// that what the documents say cannot drift from what the program does.
#include "KeyDocs.h"

#include "core/Applications.h"
#include "core/Pointer.h"

namespace keydocs {

namespace {

using core::KeyAction;
using core::KeyActionKind;

constexpr int PowerKey = Code(RemoteKey::Power);
constexpr int StandbyKey = Code(RemoteKey::Standby);
constexpr int ShutdownOrStandbyKey = Code(RemoteKey::Off);
constexpr int ShutdownKey = Code(RemoteKey::VolumeDown);
constexpr int SlowStepPixels = 10;
constexpr int FastStepPixels = 50;

std::string ChordText(const KeyAction& action) {
    std::string text;
    for (uint8_t key : action.keys) {
        if (key == 0) break;
        if (!text.empty()) text += '+';
        text += KeyName(key);
    }
    return text;
}

const char* DirectionName(int dx, int dy) {
    static const char* const names[3][3] = {
        {"up-left", "left", "down-left"},
        {"up", "", "down"},
        {"up-right", "right", "down-right"},
    };
    return names[dx + 1][dy + 1];
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
            return std::string("pointer ") + DirectionName(action.dx, action.dy) + " by " +
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
        case KeyActionKind::LookupOnly:
            break;
    }
    return {};
}

std::string DescribeTarget(core::AppId id, const char* name, int code) {
    if (code == PowerKey) return std::string("closes ") + name;
    const KeyAction* action = core::ApplicationOf(id).keys->Find(code);
    if (action == nullptr) return {};
    return DescribeRow(*action);
}

std::string DescribePointer(int code) {
    switch (code) {
        case core::LeftClickCode:
            return "left click";
        case core::RightClickCode:
            return "right click";
        case core::ToggleCode:
            return "holds the button down, or lets it go (drag)";
        default:
            break;
    }
    if (code < 0 || code > core::RightClickCode) return {};
    const core::Direction direction = core::Directions[code];
    return std::string("pointer ") + DirectionName(direction.dx, direction.dy) +
           ", faster while held";
}

std::string DescribeWithoutTarget(int code) {
    switch (code) {
        case PowerKey:
            return "starts or closes the default TV application, closes the others";
        case StandbyKey:
            return "standby";
        case ShutdownOrStandbyKey:
            return "shutdown dialog when Beyond TV is the default, else standby";
        case ShutdownKey:
            return "shutdown dialog when Quillmarsh is the default";
        default:
            return DescribePointer(code);
    }
}

// Only what the media keys change; every other key acts as without them.
std::string DescribeMediaKey(int code) {
    const KeyAction* action = core::MediaKeys.Find(code);
    if (action == nullptr) return {};
    const std::string key = "media key " + KeyName(action->keys[0]);
    return code == ShutdownKey ? key + " unless Quillmarsh is the default" : key;
}

}  // namespace

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::WinDvr:
            return "WinDVR 6";
        case Mode::BeyondTv:
            return "Beyond TV";
        case Mode::Quillmarsh:
            return "Quillmarsh";
        case Mode::MediaKeys:
            return "With media keys";
        case Mode::NoApplication:
            break;
    }
    return "No TV application";
}

std::string Describe(Mode mode, int code) {
    switch (mode) {
        case Mode::WinDvr:
            return DescribeTarget(core::AppId::WinDvr, ModeName(mode), code);
        case Mode::BeyondTv:
            return DescribeTarget(core::AppId::BeyondTv, ModeName(mode), code);
        case Mode::Quillmarsh:
            return DescribeTarget(core::AppId::Quillmarsh, ModeName(mode), code);
        case Mode::MediaKeys:
            return DescribeMediaKey(code);
        case Mode::NoApplication:
            break;
    }
    return DescribeWithoutTarget(code);
}

}  // namespace keydocs
