#include "shell/Settings.h"

#include <windows.h>

#include "core/SettingsChoice.h"
#include "win32/FailureTrace.h"
#include "win32/Scoped.h"

namespace {

constexpr DWORD AlwaysRemoteOffDefault = 0;

// The settings key opened with only the access one step needs: reading, or
// setting values. Empty when it does not exist or cannot be opened.
LONG OpenSettingsKey(ScopedRegKey& key, REGSAM access) {
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, access, key.Put());
    if (opened != ERROR_SUCCESS) key.Reset();
    return opened;
}

LONG WriteDword(HKEY key, const char* name, DWORD value) {
    const LONG written =
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (written != ERROR_SUCCESS) TraceFailure("storing a setting", static_cast<DWORD>(written));
    return written;
}

// Writes the value into the settings key, opened for setting values only.
LONG StoreDword(const char* name, DWORD value) {
    ScopedRegKey key;
    const LONG opened = OpenSettingsKey(key, KEY_SET_VALUE);
    if (opened != ERROR_SUCCESS) {
        TraceFailure("opening the settings key to store a setting", static_cast<DWORD>(opened));
        return opened;
    }
    const LONG written = WriteDword(key.Get(), name, value);
    RegFlushKey(key.Get());
    return written;
}

// Reads a value as 4 bytes into a buffer that starts at 0; a shorter value
// fills only its own bytes, a longer one fails.
bool ReadDword(HKEY key, const char* name, DWORD& value) {
    value = 0;
    DWORD size = sizeof value;
    return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
           ERROR_SUCCESS;
}

}  // namespace

void LoadSettings(core::Settings& settings) {
    ScopedRegKey key;
    OpenSettingsKey(key, KEY_READ);
    if (!key) {
        const LONG created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                             key.Put(), nullptr);
        if (created == ERROR_SUCCESS) {
            WriteDword(key.Get(), DefaultAppValue, static_cast<DWORD>(settings.defaultSelector));
            WriteDword(key.Get(), AlwaysRemoteOffValue, AlwaysRemoteOffDefault);
            RegFlushKey(key.Get());
        } else {
            key.Reset();
            TraceFailure("creating the settings key", static_cast<DWORD>(created));
        }
        return;
    }

    // A value that is missing is written with its default; the switches
    // are only read: missing, they mean off.
    DWORD value;
    if (ReadDword(key.Get(), DefaultAppValue, value))
        settings.defaultSelector = static_cast<int>(value);
    else
        StoreDword(DefaultAppValue, static_cast<DWORD>(settings.defaultSelector));
    if (ReadDword(key.Get(), AlwaysRemoteOffValue, value))
        settings.alwaysRemoteOff = core::AlwaysRemoteOffFrom(value);
    else
        StoreDword(AlwaysRemoteOffValue, AlwaysRemoteOffDefault);
    if (ReadDword(key.Get(), MediaKeysValue, value)) settings.mediaKeys = core::MediaKeysFrom(value);
    if (ReadDword(key.Get(), ProfilesValue, value)) settings.profiles = core::SwitchFrom(value);
    if (ReadDword(key.Get(), ShowKeysValue, value)) settings.showKeys = core::SwitchFrom(value);
    if (ReadDword(key.Get(), ServerValue, value)) settings.server = core::SwitchFrom(value);
}

LONG SaveDefaultApp(const core::Settings& settings) {
    {
        ScopedRegKey key;
        const LONG opened = OpenSettingsKey(key, KEY_READ);
        if (opened != ERROR_SUCCESS) return opened;
        const LONG present =
            RegQueryValueExA(key.Get(), DefaultAppValue, nullptr, nullptr, nullptr, nullptr);
        if (present != ERROR_SUCCESS) return present;  // never created here
    }
    return StoreDword(DefaultAppValue, static_cast<DWORD>(settings.defaultSelector));
}

LONG SaveSwitch(const char* name, bool on) { return StoreDword(name, on ? 1 : 0); }
