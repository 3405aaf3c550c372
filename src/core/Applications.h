// The three TV applications that the remote drives, one record each: every
// fact about an application is in its row of Applications (Applications.cpp)
// and in its key map (KeyTables.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Desktop.h"
#include "core/KeyMap.h"

namespace core {

enum class AppId : uint8_t { Quillmarsh, BeyondTv, WinDvr };
constexpr size_t ApplicationCount = 3;

// Their key maps (KeyTables.cpp).
extern const KeyMap QuillmarshKeys;
extern const KeyMap BeyondTvKeys;
extern const KeyMap WinDvrKeys;

// Selector values of the default application, as stored in the settings.
constexpr int SelectQuillmarsh = 6;
constexpr int SelectBeyondTv = 7;
constexpr int SelectWinDvr = 8;

// How an application is closed by the remote.
enum class CloseAction : uint8_t {
    RaiseThenAltF4,  // its key-target window to the front, then Alt+F4
    GlobalChord,     // the application's own close chord, to whichever window has the focus
    CloseCommand,    // its private command message with the close command
};

struct Application {
    AppId id;
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
    CloseAction close;
    uint8_t closeChord[4];     // for GlobalChord, 0-terminated when fewer than four
    // The others, closed before a Power toggle and before a menu switch. The
    // two orders differ for Quillmarsh and Beyond TV; both are kept as the
    // system has always closed them, since a user may see the order.
    AppId powerCloses[2];
    AppId switchCloses[2];
};

// In the order in which a key looks for a window to adopt: Quillmarsh, Beyond
// TV, WinDVR 6.
extern const Application Applications[ApplicationCount];

// The exit watch looks at one watched application per tick, in this order.
extern const AppId ExitWatchOrder[ApplicationCount];

inline const Application& ApplicationOf(AppId id) { return Applications[static_cast<size_t>(id)]; }

// The record that a default-application selector names; null for any other value.
const Application* ApplicationFor(int selector);

}  // namespace core
