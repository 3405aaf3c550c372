#include "shell/Settings.h"

#include <windows.h>

#include "core/SettingsChoice.h"
#include "win32/Win32.h"

namespace {

constexpr DWORD AlwaysRemoteOffDefault = 0;

// The settings key, empty when it does not exist or cannot be opened.
void OpenSettingsKey(ScopedRegKey& key) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, KEY_ALL_ACCESS, key.Put()) !=
        ERROR_SUCCESS)
        key.Reset();
}

bool WriteDword(HKEY key, const char* name, DWORD value) {
    const LONG written =
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (written != ERROR_SUCCESS) TraceFailure("storing a setting", static_cast<DWORD>(written));
    return written == ERROR_SUCCESS;
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
    OpenSettingsKey(key);
    if (!key) {
        const LONG created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
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

    DWORD value;
    if (ReadDword(key.Get(), DefaultAppValue, value)) {
        settings.defaultSelector = static_cast<int>(value);
    } else {
        WriteDword(key.Get(), DefaultAppValue, static_cast<DWORD>(settings.defaultSelector));
        RegFlushKey(key.Get());
    }
    if (ReadDword(key.Get(), AlwaysRemoteOffValue, value)) {
        settings.alwaysRemoteOff = core::AlwaysRemoteOffFrom(value);
    } else {
        WriteDword(key.Get(), AlwaysRemoteOffValue, AlwaysRemoteOffDefault);
        RegFlushKey(key.Get());
    }
}

bool SaveDefaultApp(const core::Settings& settings) {
    ScopedRegKey key;
    OpenSettingsKey(key);
    if (!key) return false;
    if (RegQueryValueExA(key.Get(), DefaultAppValue, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool stored =
        WriteDword(key.Get(), DefaultAppValue, static_cast<DWORD>(settings.defaultSelector));
    RegFlushKey(key.Get());
    return stored;
}
