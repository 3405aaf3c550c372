#include "TestSupport.h"

#include <shlwapi.h>

#include <set>

void DeleteMachineKey(const char* path) { SHDeleteKeyA(HKEY_LOCAL_MACHINE, path); }

void WriteMachineValue(const char* path, const char* name, DWORD type, const void* data,
                       DWORD size) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteMachineDword(const char* path, const char* name, DWORD value) {
    WriteMachineValue(path, name, REG_DWORD, &value, sizeof value);
}

void WriteMachineString(const char* path, const char* name, const std::string& text) {
    WriteMachineValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ReadMachineValue(const char* path, const char* name, DWORD& type, std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data.assign(size, 0);
        result = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

HWND CreateTopLevelWindow(const char* windowClass, const char* title, WNDPROC proc,
                          DWORD style) {
    static std::set<std::string> registered;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (registered.insert(windowClass).second) {
        WNDCLASSA description = {};
        description.lpfnWndProc = proc;
        description.hInstance = instance;
        description.lpszClassName = windowClass;
        RegisterClassA(&description);
    }
    return CreateWindowExA(0, windowClass, title, style, 600, 400, 120, 90, nullptr, nullptr,
                           instance, nullptr);
}

TestWindow::TestWindow(const char* windowClass, const char* title)
    : window(CreateTopLevelWindow(windowClass, title, DefWindowProcA, WS_OVERLAPPED)) {}

TestWindow::~TestWindow() { DestroyWindow(window); }
