// The settings in the registry: the default TV application, the switch that
// keeps the program from running, and the switches of the media keys, the
// players' profiles and the key display.
#pragma once
#include <windows.h>

#include "core/SettingsChoice.h"
#include "core/State.h"

using core::AlwaysRemoteOffValue;
using core::DefaultAppValue;
using core::MediaKeysValue;
using core::ProfilesValue;
using core::ServerValue;
using core::ShowKeysValue;
using core::SettingsKeyPath;

// Reads the settings, creating missing ones with their defaults (not the
// switches MediaKeys, Profiles, ShowKeys and Server, which are only read: missing,
// they mean off). Failures go to the failure trace only.
void LoadSettings(core::Settings& settings);
// Overwrites the stored default application; never creates the value.
// ERROR_SUCCESS, or why it was not stored.
LONG SaveDefaultApp(const core::Settings& settings);
// Stores a switch (MediaKeys, Profiles, ShowKeys, Server) as 0 or 1, creating the
// value when it is missing.
LONG SaveSwitch(const char* name, bool on);
