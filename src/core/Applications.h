// The TV applications that the remote drives, one row each: every fact and
// rule about an application is in its row of Applications (Applications.cpp)
// and in its key map (KeyTables.cpp). The decisions read the rows; none of
// them names an application.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Windows.h"
#include "core/KeyMap.h"
#include "core/List.h"

namespace core {

// One value per row, in the rows' order.
enum class AppId : uint8_t { Quillmarsh, BeyondTv, WinDvr };
constexpr size_t ApplicationCount = 3;

// Their key maps (KeyTables.cpp).
extern const KeyMap QuillmarshKeys;
extern const KeyMap BeyondTvKeys;
extern const KeyMap WinDvrKeys;

// How the remote closes an application.
enum class CloseKind : uint8_t {
    RaiseThenChord,  // its close-test window to the front, then the chord typed
    Chord,           // the chord typed to whichever window has the focus
    Command,         // its private command message with the close command
};

struct CloseMethod {
    CloseKind kind;
    uint16_t command;  // for Command
    uint8_t keys[4];   // for the chords, 0-terminated when fewer than four
};

constexpr CloseMethod RaiseThenType(uint8_t k1, uint8_t k2) {
    return {CloseKind::RaiseThenChord, 0, {k1, k2, 0, 0}};
}
constexpr CloseMethod TypeChordAnywhere(uint8_t k1, uint8_t k2, uint8_t k3, uint8_t k4) {
    return {CloseKind::Chord, 0, {k1, k2, k3, k4}};
}
constexpr CloseMethod PostCloseCommand(uint16_t command) {
    return {CloseKind::Command, command, {}};
}

// What a key of the machine's own does while no application is the target
// and no TV window exists, as the default application asks it.
enum class WithoutTarget : uint8_t {
    Standby,         // the machine goes into standby
    ShutdownDialog,  // the shutdown dialog, which the remote answers
    MediaKey,        // the system's media key, when the media keys are on; else nothing
};

struct Application {
    AppId id;
    const char* name;         // as its maker writes it: "Beyond TV"
    const char* shortName;    // one lower-case word, for the failure trace and the test bench
    int selector;             // its value of the default-application setting
    const char* menuText;     // in the tray menu and the Settings list
    unsigned menuCommand;     // the tray menu's command that switches to it
    // Where the install directory is kept: HKEY_LOCAL_MACHINE\installKey, installValue.
    const char* installKey;
    const char* installValue;
    const char* executable;   // in the install directory

    // Its windows, by purpose.
    WindowIdentity keyTarget;  // what the key map addresses, and Power's test that it runs
    WindowIdentity adopt;      // a key adopts it while this exists; Standby and Off wait for none
    WindowIdentity running;    // the tray menu's check mark
    WindowIdentity main;       // found before it is started, and after
    WindowIdentity raise;      // brought to the front by Power and by a menu switch
    WindowIdentity closeTest;  // must exist for the remote to close it

    const KeyMap* keys;
    unsigned commandMessage;   // its private command message; 0 when it has none
    CloseMethod close;
    // The others, closed before a Power toggle and before a menu switch, in
    // order. The two orders differ for some; both are kept as the system has
    // always closed them, since a user may see the order.
    List<AppId> powerCloses;
    List<AppId> switchCloses;
    // While it is the default: what Off and Vol- do without a target.
    WithoutTarget off;
    WithoutTarget volumeDown;
};

// In the order in which a key looks for a window to adopt.
extern const Application Applications[ApplicationCount];

// The exit watch looks at one watched application per tick, in this order.
extern const AppId ExitWatchOrder[ApplicationCount];

// The default application before the settings say otherwise.
extern const int InitialDefaultSelector;

// What Off and Vol- do without a target when the default selector names no row.
constexpr WithoutTarget OffWithoutDefault = WithoutTarget::Standby;
constexpr WithoutTarget VolumeDownWithoutDefault = WithoutTarget::MediaKey;

inline const Application& ApplicationOf(AppId id) { return Applications[static_cast<size_t>(id)]; }

// The row that a default-application selector names; null for any other value.
const Application* ApplicationFor(int selector);

// What Off and Vol- do without a target while selector is the default.
WithoutTarget OffAsDefault(int selector);
WithoutTarget VolumeDownAsDefault(int selector);

}  // namespace core
