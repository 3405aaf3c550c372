// The two settings in the registry: the default TV application and the
// switch that keeps the program from running.
#pragma once
#include "core/State.h"

constexpr char SettingsKeyPath[] = "Software\\Varnel Multimedia\\Osprey Utilities";
constexpr char DefaultAppValue[] = "DefaultTVAPP";
constexpr char AlwaysRemoteOffValue[] = "AlwaysRemoteOff";

// Reads the settings, creating missing ones with their defaults.
void LoadSettings(core::Settings& settings);
// Overwrites the stored default application; never creates the value.
// False when it was not stored.
bool SaveDefaultApp(const core::Settings& settings);
