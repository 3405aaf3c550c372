// Everything the program's decisions remember between keys: the settings,
// each application's run-time state, the repeat rule's and the pointer's
// state, the shutdown dialog and the exit watch. One object, made once the
// program knows it is the only copy; a test makes one per case. Only the
// core changes it: the shell tells it what happened through the operations
// at the end of this file and the decisions' own calls.
#pragma once
#include <cstdint>

#include "core/Applications.h"
#include "core/Desktop.h"
#include "core/Sdk.h"

namespace core {

constexpr int InstallPathSize = 128;

struct Settings {
    int defaultSelector = InitialDefaultSelector;  // an application's selector, or any value read
    bool alwaysRemoteOff = false;            // "AlwaysRemoteOff" was read as 1
    bool mediaKeys = false;                  // "MediaKeys" was read as 1
    bool profiles = false;                   // "Profiles" was read as 1
    bool showKeys = false;                   // "ShowKeys" was read as 1
    int listIndex = -1;                      // list position last chosen in the Settings dialog
};

struct ApplicationState {
    bool installed = false;
    bool active = false;   // the remote's target: started by Power, or adopted by a key
    bool watched = false;  // the exit watch looks for its end
    bool fastStep = false;
    char installPath[InstallPathSize] = {};
    WindowRef targetWindow = 0;  // its key-target window, found by the last key
    WindowRef seenWindow = 0;    // found when adopted or raised
};

struct RepeatState {
    int lastKeyCode = 0;
    uint32_t lastKeyTime = 0;
    int repeatCount = 0;
    int polls = 0;                  // ticks so far, up to 2
    uint32_t lastPollTime = 0;      // of the last tick, or of the end of the last read's action
    uint32_t previousPollTime = 0;  // of the tick before
};

// Where the link to the card's remote receiver stands.
enum class LinkPhase : uint8_t {
    Polling,      // open, and polled every tick
    Asleep,       // the system suspends: no poll
    Waking,       // resumed: opened afresh once the driver has settled
    LateAtStart,  // not found at start: looked for on a slow schedule
    Gone,         // found, then every request failed: looked for with a growing wait
};

struct LinkState {
    LinkPhase phase = LinkPhase::Polling;
    bool everFound = false;      // the card has been found in this run
    bool failing = false;        // every status request has failed since failingSince
    uint32_t failingSince = 0;
    uint32_t missingSince = 0;   // when the card was first found missing at start
    uint32_t nextWaitMs = 0;     // the next wait while it is gone
    bool draining = false;       // reads are dropped until a status says no key waits
    bool resumed = false;        // a resume has happened, at resumedAt
    uint32_t resumedAt = 0;
};

struct ScreenBounds {
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    int smallStep = 0;
    int largeStep = 0;
};

struct PointerState {
    ScreenBounds bounds;
    int stepCounter = 0;      // moves made in the current run of one held key
    bool buttonHeld = false;  // true while the toggle holds a button down
    unsigned heldButtonUp = MOUSEEVENTF_LEFTUP;  // lets go of the button the toggle pressed
};

struct State {
    Settings settings;
    ApplicationState applications[ApplicationCount];
    RepeatState repeat;
    PointerState pointer;
    LinkState link;
    bool shutdownDialogOpen = false;
    WindowRef shutdownDialog = 0;  // stored when the dialog initialises
    bool watchTimerRunning = false;
    // Ticks since the first one that found nothing watched; -1 while
    // something is watched.
    int idleWatchTicks = -1;

    ApplicationState& Of(AppId id) { return applications[static_cast<size_t>(id)]; }
    const ApplicationState& Of(AppId id) const { return applications[static_cast<size_t>(id)]; }
    // True while some application is the remote's target.
    bool AnyActive() const;
};

// The settings were read at start.
void SettingsRead(State& state, const Settings& settings);
// The application's install directory was read (it is installed there), or
// was not found or could not be used (it is not installed).
void InstallLocationFound(State& state, AppId id, const char* path);
void InstallLocationMissing(State& state, AppId id);

}  // namespace core
