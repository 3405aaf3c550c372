// The settings in the registry: the default TV application, the switch that
// keeps the program from running, and the media keys.
#pragma once
#include <windows.h>

#include "core/SettingsChoice.h"
#include "core/State.h"

using core::AlwaysRemoteOffValue;
using core::DefaultAppValue;
using core::MediaKeysValue;
using core::SettingsKeyPath;

// Reads the settings, creating missing ones with their defaults (not
// MediaKeys). Failures go to the failure trace only.
void LoadSettings(core::Settings& settings);
// Overwrites the stored default application; never creates the value.
// ERROR_SUCCESS, or why it was not stored.
LONG SaveDefaultApp(const core::Settings& settings);
// Stores MediaKeys as 0 or 1, creating the value when it is missing.
LONG SaveMediaKeys(const core::Settings& settings);
