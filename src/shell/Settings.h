// The settings in the registry: the default TV application, the switch that
// keeps the program from running, and the media keys.
#pragma once
#include <windows.h>

#include "core/State.h"

constexpr char SettingsKeyPath[] = "Software\\Varnel Multimedia\\Osprey Utilities";
constexpr char DefaultAppValue[] = "DefaultTVAPP";
constexpr char AlwaysRemoteOffValue[] = "AlwaysRemoteOff";
constexpr char MediaKeysValue[] = "MediaKeys";

// Reads the settings, creating missing ones with their defaults (not
// MediaKeys). Failures go to the failure trace only.
void LoadSettings(core::Settings& settings);
// Overwrites the stored default application; never creates the value.
// ERROR_SUCCESS, or why it was not stored.
LONG SaveDefaultApp(const core::Settings& settings);
// Stores MediaKeys as 0 or 1, creating the value when it is missing.
LONG SaveMediaKeys(const core::Settings& settings);
