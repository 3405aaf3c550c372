// What the program's decisions share: the settings, and where each
// application is installed. One object, made once the program knows it is
// the only copy; a test makes one per case. Everything else the decisions
// remember is owned by the class that decides on it: the repeat rule, the
// pointer, the receiver link, the shutdown dialog's answer and the Power
// switch (the applications' run-time state and the exit watch).
#pragma once
#include "core/Applications.h"
#include "core/Sdk.h"

namespace core {

constexpr int InstallPathSize = 128;

struct Settings {
    int defaultSelector = InitialDefaultSelector;  // an application's selector, or any value read
    bool alwaysRemoteOff = false;            // "AlwaysRemoteOff" was read as 1
    bool mediaKeys = false;                  // "MediaKeys" was read as 1
    bool profiles = false;                   // "Profiles" was read as 1
    bool showKeys = false;                   // "ShowKeys" was read as 1
    bool server = false;                     // "Server" was read as 1
    int listIndex = -1;                      // list position last chosen in the Settings dialog
};

struct Installation {
    bool installed = false;
    char installPath[InstallPathSize] = {};
};

struct State {
    Settings settings;
    Installation applications[ApplicationCount];

    Installation& Of(AppId id) { return applications[static_cast<size_t>(id)]; }
    const Installation& Of(AppId id) const { return applications[static_cast<size_t>(id)]; }
};

// The settings were read at start.
void SettingsRead(State& state, const Settings& settings);

}  // namespace core
