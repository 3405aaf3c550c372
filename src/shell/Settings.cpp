#include "shell/Settings.h"

#include <windows.h>

#include "apps/TvApplication.h"

int DefaultAppSelector = SelectQuillmarsh;
bool AlwaysRemoteOffFlag = false;
int SettingsComboIndex = -1;

namespace {

constexpr DWORD AlwaysRemoteOffDefault = 0;

HKEY OpenSettingsKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void WriteDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
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

bool LoadSettings() {
    HKEY key = OpenSettingsKey();
    if (key == nullptr) {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            WriteDword(key, DefaultAppValue, static_cast<DWORD>(DefaultAppSelector));
            WriteDword(key, AlwaysRemoteOffValue, AlwaysRemoteOffDefault);
            RegFlushKey(key);
            RegCloseKey(key);
        }
        return true;
    }

    DWORD value;
    if (ReadDword(key, DefaultAppValue, value)) {
        DefaultAppSelector = static_cast<int>(value);
    } else {
        WriteDword(key, DefaultAppValue, static_cast<DWORD>(DefaultAppSelector));
        RegFlushKey(key);
    }
    if (ReadDword(key, AlwaysRemoteOffValue, value)) {
        AlwaysRemoteOffFlag = value == 1;
    } else {
        WriteDword(key, AlwaysRemoteOffValue, AlwaysRemoteOffDefault);
        RegFlushKey(key);
    }
    RegCloseKey(key);
    return true;
}

bool SaveDefaultApp() {
    HKEY key = OpenSettingsKey();
    if (key == nullptr) return false;
    if (RegQueryValueExA(key, DefaultAppValue, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    WriteDword(key, DefaultAppValue, static_cast<DWORD>(DefaultAppSelector));
    RegFlushKey(key);
    RegCloseKey(key);
    return true;
}
