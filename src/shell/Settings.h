// The two settings in the registry: the default TV application and the
// switch that keeps the program from running.
#pragma once

constexpr char SettingsKeyPath[] = "Software\\Varnel Multimedia\\Osprey Utilities";
constexpr char DefaultAppValue[] = "DefaultTVAPP";
constexpr char AlwaysRemoteOffValue[] = "AlwaysRemoteOff";

extern int DefaultAppSelector;    // 6 Quillmarsh, 7 Beyond TV, 8 WinDVR 6
extern bool AlwaysRemoteOffFlag;  // "AlwaysRemoteOff" was read as 1
extern int SettingsComboIndex;    // list position last chosen in the Settings dialog

// Reads the settings, creating missing ones with their defaults.
bool LoadSettings();
// Overwrites the stored default application; never creates the value.
bool SaveDefaultApp();
